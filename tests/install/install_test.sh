#!/bin/sh
# `cmake --install` below a scratch DESTDIR: every program is there,
# stripped, and answers --version; the installed example ward goes through
# the installed kinroll -c with the installed converter, and through
# kinroll-book where it is built; then uninstall
# leaves no file behind.
# Usage: install_test.sh SOURCE_DIR BUILD_DIR VERSION
set -eu
top=$1
build=$2
version=$3
command -v readelf >/dev/null 2>&1 || exit 77
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR=$dest cmake --install "$build" --prefix /usr --strip >/dev/null
bin=$dest/usr/bin
doc=$dest/usr/share/doc/kinroll
for program in "$bin"/*; do
  name=$(basename "$program")
  first=$("$program" --version | head -1)
  [ "$first" = "$name (Kinroll) $version" ] || { echo "$name --version: $first"; exit 1; }
  if readelf -S "$program" | grep -q -e '\.symtab' -e '\.debug_info'; then
    echo "$name is not stripped"
    exit 1
  fi
  test -f "$dest/usr/share/man/man1/$name.1.gz"
done
test -x "$bin/kinroll" && test -x "$bin/kinroll-changes"
cmp "$top/LICENSE" "$doc/copyright"
test -x "$doc/examples/convert-pdb.sh"

# The installed example ward, in a folder of its own.
work=$dest/work
cp -r "$doc/examples" "$work"
status=0
(cd "$work" && "$bin/kinroll" -c -i ./convert-html.sh > console.log 2> messages.log) || status=$?
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

DESTDIR=$dest "$top/packaging/uninstall" "$build/install_manifest.txt"
left=$(find "$dest" -type f)
[ -z "$left" ] || { echo "left after uninstall: $left"; exit 1; }
[ ! -e "$doc" ] || { echo "left after uninstall: $doc"; exit 1; }
