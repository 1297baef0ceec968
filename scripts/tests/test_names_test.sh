#!/usr/bin/env bash
# Lists every CTest name of this build and fails on a name that shows a case's raw bytes
# ("12-byte object <...>") or a value printed by the test runner instead of a case name.
set -euo pipefail
ctest=$1
names=$("$ctest" -N)
bad=$(grep -E 'byte object|# GetParam\(\)' <<<"$names" || true)
if [ -n "$bad" ]; then
  echo "unreadable test names:"
  echo "$bad" | head -20
  exit 1
fi
echo "$(grep -c 'Test *#' <<<"$names") test names, all readable"
