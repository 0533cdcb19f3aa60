#!/bin/sh
# The Debian package that `make package` makes, from this build: its
# contents and control fields, its declared dependencies, the same bytes from
# a second run and, where lintian is installed, no lintian error or warning
# even with --pedantic -I; with "hardened" (a build with every defence on),
# no hardening-* note either. Skipped where dpkg-deb or dpkg-shlibdeps is
# missing.
# Usage: package_test.sh BUILD_DIR [hardened]
set -eu
build=$1
hardened=${2:-}
command -v dpkg-deb >/dev/null 2>&1 || exit 77
command -v dpkg-shlibdeps >/dev/null 2>&1 || exit 77
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# Two runs a second apart, as two `make package` would be.
(cd "$build" && cpack -G DEB -B "$out/1" >/dev/null)
sleep 1
(cd "$build" && cpack -G DEB -B "$out/2" >/dev/null)
deb=$(ls "$out"/1/kinroll_*.deb)
if ! cmp "$deb" "$out/2/$(basename "$deb")"; then
  echo "two runs made different packages"
  exit 1
fi

dpkg-deb -c "$deb" | awk '{print $6}' > "$out/contents"
cat "$out/contents"
for file in ./usr/bin/kinroll ./usr/bin/kinroll-changes ./usr/share/man/man1/kinroll.1.gz \
            ./usr/share/doc/kinroll/copyright ./usr/share/doc/kinroll/changelog.gz \
            ./usr/share/doc/kinroll/examples/mis231.txt \
            ./usr/share/doc/kinroll/examples/wardunits.txt \
            ./usr/share/kinroll/convert-html.sh ./usr/share/kinroll/convert-pdb.sh; do
  grep -qx -- "$file" "$out/contents" || { echo "the package lacks $file"; exit 1; }
done
for field in Section:utils Suggests:txt2pdbdoc; do
  value=$(dpkg-deb -f "$deb" "${field%%:*}")
  [ "$value" = "${field#*:}" ] || { echo "${field%%:*}: $value"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
case "$depends" in *libc6*) ;; *) echo "no libc6 among the dependencies"; exit 1 ;; esac
if grep -qx ./usr/bin/kinroll-contacts "$out/contents"; then
  case "$depends" in *libical*) ;; *) echo "kinroll-contacts without libical"; exit 1 ;; esac
fi
if grep -qx ./usr/bin/kinroll-web "$out/contents"; then
  case "$depends" in *libmicrohttpd*) ;; *) echo "kinroll-web without libmicrohttpd"; exit 1 ;; esac
  grep -qx ./usr/share/applications/kinroll-web.desktop "$out/contents" ||
    { echo "kinroll-web without its launcher"; exit 1; }
fi
if grep -qx ./usr/bin/kinroll-book "$out/contents"; then
  case "$depends" in *libcairo2*libpango*|*libpango*libcairo2*) ;;
    *) echo "kinroll-book without Cairo or Pango"; exit 1 ;; esac
fi

if command -v lintian >/dev/null 2>&1; then
  status=0
  lintian --pedantic -I "$deb" > "$out/lintian" 2>&1 || status=$?
  cat "$out/lintian"
  [ "$status" -le 1 ] || { echo "lintian failed (status $status)"; exit 1; }
  bad='^[EW]: '
  [ "$hardened" != hardened ] || bad="$bad|^[A-Z]: [^ ]+ hardening-"
  if grep -Eq "$bad" "$out/lintian"; then
    echo "lintian: an error, a warning or a missing defence"
    exit 1
  fi
fi
