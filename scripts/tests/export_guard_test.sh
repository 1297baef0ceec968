#!/usr/bin/env bash
# Every export of the library catches through the one boundary guard (records/boundary.h):
# a catch-all anywhere else in the library's sources fails this check.
set -euo pipefail
src="${1:?give the folder of the library sources}"
pattern='catch[[:space:]]*[(][[:space:]]*[.][.][.][[:space:]]*[)]'
list_catch_alls() {
  grep -rnE "$pattern" "$src" --include='*.cpp' --include='*.h' |
    grep -v '/tests/' | grep -v 'records/boundary[.]h:' || true
}
found="$(list_catch_alls)"
if [ -n "$found" ]; then
  echo "catch (...) outside the export guard (use irdex::guarded from records/boundary.h):"
  echo "$found"
  exit 1
fi
echo "every catch-all of the library is the export guard's"
