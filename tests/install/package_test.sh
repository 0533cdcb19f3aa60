#!/bin/sh
# The Debian package that `make package` makes, from this build: its
# contents, its declared dependencies and, where lintian is installed, no
# lintian error. Skipped where dpkg-deb or dpkg-shlibdeps is missing.
# Usage: package_test.sh BUILD_DIR
set -eu
build=$1
command -v dpkg-deb >/dev/null 2>&1 || exit 77
command -v dpkg-shlibdeps >/dev/null 2>&1 || exit 77
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb=$(ls "$out"/kinroll_*.deb)
dpkg-deb -c "$deb" | awk '{print $6}' > "$out/contents"
cat "$out/contents"
for file in ./usr/bin/kinroll ./usr/bin/kinroll-changes ./usr/share/man/man1/kinroll.1.gz \
            ./usr/share/doc/kinroll/copyright ./usr/share/doc/kinroll/changelog.gz \
            ./usr/share/doc/kinroll/examples/mis231.txt \
            ./usr/share/doc/kinroll/examples/wardunits.txt \
            ./usr/share/doc/kinroll/examples/convert-html.sh; do
  grep -qx -- "$file" "$out/contents" || { echo "the package lacks $file"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
case "$depends" in *libc6*) ;; *) echo "no libc6 among the dependencies"; exit 1 ;; esac
if grep -qx ./usr/bin/kinroll-contacts "$out/contents"; then
  case "$depends" in *libical*) ;; *) echo "kinroll-contacts without libical"; exit 1 ;; esac
fi
if grep -qx ./usr/bin/kinroll-book "$out/contents"; then
  case "$depends" in *libcairo2*libpango*|*libpango*libcairo2*) ;;
    *) echo "kinroll-book without Cairo or Pango"; exit 1 ;; esac
fi
if command -v lintian >/dev/null 2>&1; then
  lintian --fail-on error "$deb"
fi
