#!/usr/bin/env bash
# install_test.sh BUILD PREFIX LIBDIR PYTHONDIR VERSION
# Installs the build into a staging folder (DESTDIR) and checks what a user and a developer
# find there: programs, the library with its links, header and pkg-config file, data files,
# manual pages, desktop files, and the Python module working over the installed library.
set -euo pipefail
build=$1 prefix=$2 libdir=$3 pydir=$4 version=$5
major=${version%%.*}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install "$build" >/dev/null
root=$stage$prefix
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
expect_file() { [ -f "$root/$1" ] && echo "ok   $1" || fail "$1 missing"; }

# Programs: each one this build made (the tool builds as `irdex`).
for program in solvane tessor pagana irsim irdex; do
  if [ -x "$build/bin/$program" ]; then
    [ -x "$root/bin/$program" ] && echo "ok   bin/$program" || fail "bin/$program missing"
  fi
done

# The library, its SONAME link and the developer's link.
real=$root/$libdir/libirdex.so.$version
expect_file "$libdir/libirdex.so.$version"
[ "$(readlink "$root/$libdir/libirdex.so.$major")" = "libirdex.so.$version" ] \
  && echo "ok   SONAME link" || fail "libirdex.so.$major does not point to the library"
[ "$(readlink "$root/$libdir/libirdex.so")" = "libirdex.so.$major" ] \
  && echo "ok   development link" || fail "libirdex.so does not point to libirdex.so.$major"
readelf -d "$real" | grep -q "SONAME.*\[libirdex.so.$major\]" \
  && echo "ok   SONAME" || fail "the library's SONAME is not libirdex.so.$major"
expect_file include/irdex.h

# A C program built with nothing but pkg-config's answer links and runs.
export PKG_CONFIG_PATH=$root/$libdir/pkgconfig PKG_CONFIG_SYSROOT_DIR=$stage
[ "$(pkg-config --modversion irdex)" = "$version" ] && echo "ok   pkg-config" \
  || fail "pkg-config does not know irdex $version"
cat > "$stage/probe.c" <<'C'
#include <irdex.h>
#include <stdio.h>
int main(void) { printf("%.1f\n", (double)ConvertCelsToFah(100.0f)); return 0; }
C
if cc -std=c11 $(pkg-config --cflags irdex) "$stage/probe.c" -o "$stage/probe" \
     $(pkg-config --libs irdex) 2>"$stage/cc.log"; then
  [ "$(LD_LIBRARY_PATH=$root/$libdir "$stage/probe")" = "212.0" ] && echo "ok   C program" \
    || fail "the C program linked with pkg-config gave a wrong result"
else
  fail "a C program does not build with pkg-config: $(cat "$stage/cc.log")"
fi

for data in TempMapTable_L.bin TempMapTable_M.bin colormap.bin company.txt logo.png; do
  expect_file "share/irdex/$data"
done
for page in irdex irsim solvane tessor pagana; do
  expect_file "share/man/man1/$page.1.gz"
done
man -l "$root/share/man/man1/irdex.1.gz" 2>/dev/null | grep -q EXAMPLES \
  && echo "ok   man irdex" || fail "the installed irdex page does not read"
expect_file share/mime/packages/irdex.xml
for program in solvane tessor pagana; do
  if [ -x "$build/bin/$program" ]; then
    expect_file "share/applications/$program.desktop"
    expect_file "share/icons/hicolor/scalable/apps/$program.svg"
    expect_file "share/icons/hicolor/48x48/apps/$program.png"
  fi
done

# The installed module, pointed at nothing of the build tree, loads the installed library by
# the path written at install time (here under the staging folder, so it is named explicitly).
expect_file "$pydir/irdex/__init__.py"
grep -q "\"$prefix/$libdir/libirdex.so.$major\"" "$root/$pydir/irdex/_installed.py" \
  && echo "ok   installed library path" || fail "_installed.py does not name the installed library"
if out=$(cd "$stage" && env -u IRDEX_LIBRARY -u IRDEX_DATA_DIR PYTHONPATH="$root/$pydir" \
      IRDEX_LIBRARY="$real" IRDEX_DATA_DIR="$root/share/irdex" /usr/bin/python3 -c \
      'import irdex; print(irdex.__file__, len(irdex.palettes()))' 2>&1); then
  case "$out" in
    "$root/$pydir/irdex/__init__.py "[1-9]*) echo "ok   Python module: $out" ;;
    *) fail "the installed Python module: $out" ;;
  esac
else
  fail "the installed Python module does not import: $out"
fi
[ "$failures" -eq 0 ]
