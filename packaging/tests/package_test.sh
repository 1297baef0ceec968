#!/usr/bin/env bash
# package_test.sh BUILD VERSION
# Builds the Debian package with CPack and reads it back with dpkg-deb: its name, the files a
# user needs, and dependencies computed from the binaries.
set -euo pipefail
build=$1 version=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb=$out/irdex_${version}_amd64.deb
[ -f "$deb" ] || { echo "FAIL no $deb: $(ls "$out")"; exit 1; }
# The sixth field is the path (a link's target follows it).
dpkg-deb -c "$deb" | awk '{print $6}' > "$out/contents"
failures=0
expect() {
  if grep -Eq "$1" "$out/contents"; then echo "ok   $1"; else echo "FAIL $1 not in the package"; failures=$((failures + 1)); fi
}
expect '/libirdex\.so\.0$'
expect '/include/irdex\.h$'
expect '/pkgconfig/irdex\.pc$'
expect '/share/irdex/colormap\.bin$'
expect '/share/irdex/TempMapTable_L\.bin$'
expect '/man1/irdex\.1\.gz$'
expect '/mime/packages/irdex\.xml$'
expect '/dist-packages/irdex/__init__\.py$'
for program in solvane tessor pagana irsim irdex; do
  if [ -x "$build/bin/$program" ]; then expect "/bin/$program\$"; fi
done
for program in solvane tessor pagana; do
  if [ -x "$build/bin/$program" ]; then expect "/applications/$program\.desktop\$"; fi
done
depends=$(dpkg-deb -f "$deb" Depends)
for needed in 'libc6' 'libstdc\+\+6' 'python3-numpy'; do
  if grep -Eq "(^|, )$needed( |,|$)" <<<"$depends"; then echo "ok   depends on $needed"
  else echo "FAIL Depends lacks $needed: $depends"; failures=$((failures + 1)); fi
done
[ "$failures" -eq 0 ]
