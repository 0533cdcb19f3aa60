#!/bin/sh
# packaging/install below a scratch DESTDIR: every program is there,
# stripped, and answers --version; the converters are in share/kinroll/, and
# kinroll-web's launcher in share/applications where it is built; the
# installed example ward goes through the installed kinroll -c with the
# installed converter, and through kinroll-book where it is built. Then
# packaging/uninstall, without the build's own manifest (as after `make clean`), leaves nothing but what was there
# before: a folder that existed (usr/bin, with another program in it) stays,
# every folder the install made goes, also after a second install over the
# first.
# Usage: install_test.sh SOURCE_DIR BUILD_DIR VERSION
set -eu
top=$1
build=$2
version=$3
command -v readelf >/dev/null 2>&1 || exit 77
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
export DESTDIR=$dest
mkdir -p "$dest/usr/bin"
echo other > "$dest/usr/bin/other"
"$top/packaging/install" "$build" /usr >/dev/null
bin=$dest/usr/bin
doc=$dest/usr/share/doc/kinroll
share=$dest/usr/share/kinroll
for program in "$bin"/kinroll*; do
  name=$(basename "$program")
  first=$("$program" --version | head -1)
  [ "$first" = "$name (Kinroll) $version" ] || { echo "$name --version: $first"; exit 1; }
  if readelf -S "$program" | grep -q -e '\.symtab' -e '\.debug_info' -e '\.comment'; then
    echo "$name is not stripped"
    exit 1
  fi
  test -f "$dest/usr/share/man/man1/$name.1.gz"
done
test -x "$bin/kinroll" && test -x "$bin/kinroll-changes"
cmp "$top/LICENSE" "$doc/copyright"
test -x "$share/convert-pdb.sh" && test -x "$share/convert-html.sh"
[ ! -e "$doc/examples/convert-html.sh" ] || { echo "a converter among the examples"; exit 1; }
if [ -x "$bin/kinroll-web" ]; then
  grep -qx 'Exec=kinroll-web --open' "$dest/usr/share/applications/kinroll-web.desktop" ||
    { echo "no launcher for kinroll-web --open"; exit 1; }
fi

# The installed example ward, in a folder of its own, with the converter
# where the manual names it.
work=$dest/work
cp -r "$doc/examples" "$work"
status=0
(cd "$work" && "$bin/kinroll" -c -i "$share/convert-html.sh" > console.log 2> messages.log) ||
  status=$?
[ "$status" = 0 ] || { echo "kinroll -c: exit status $status"; cat "$work/messages.log"; exit 1; }
if grep -qi "can't open" "$work/console.log" "$work/messages.log"; then
  echo "kinroll -c missed a file:"
  cat "$work/console.log" "$work/messages.log"
  exit 1
fi
test -s "$work/wardph.html" && test -s "$work/wardfam.csv"
"$bin/kinroll-changes" "$work" "$work/next-month" > /dev/null 2>&1 || [ $? = 1 ]
if [ -x "$bin/kinroll-book" ]; then
  "$bin/kinroll-book" "$work" > /dev/null 2>&1 || { echo "kinroll-book failed"; exit 1; }
  test -s "$work/wardbook.pdf"
fi
rm -rf "$work"

# Installed twice, uninstalled once, without the build's manifest.
"$top/packaging/install" "$build" /usr >/dev/null
rm -f "$build/install_manifest.txt"
"$top/packaging/uninstall" /usr
left=$(cd "$dest" && find . | sort | tr '\n' ' ')
[ "$left" = ". ./usr ./usr/bin ./usr/bin/other " ] || { echo "left after uninstall: $left"; exit 1; }

# A folder the install made that holds something else now stays, with it.
"$top/packaging/install" "$build" /usr >/dev/null
echo mine > "$share/mine"
"$top/packaging/uninstall" /usr
left=$(cd "$dest" && find . -type f | sort | tr '\n' ' ')
[ "$left" = "./usr/bin/other ./usr/share/kinroll/mine " ] || { echo "left after uninstall: $left"; exit 1; }
if "$top/packaging/uninstall" /usr 2>/dev/null; then
  echo "a second uninstall found something to remove"
  exit 1
fi
