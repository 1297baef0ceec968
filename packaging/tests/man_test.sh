#!/usr/bin/env bash
# man_test.sh PAGE...
# Each manual page renders, groff finds nothing to warn about, and it names its examples.
set -euo pipefail
failures=0
for page in "$@"; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null || true)
  text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$page" 2>/dev/null)
  if [ -n "$warnings" ]; then
    echo "FAIL $page: $warnings"
    failures=$((failures + 1))
  elif ! grep -q '^EXAMPLES' <<<"$text" || ! grep -q '^NAME' <<<"$text"; then
    echo "FAIL $page: no NAME or EXAMPLES section"
    failures=$((failures + 1))
  else
    echo "ok   $page"
  fi
done
[ "$#" -gt 0 ] && [ "$failures" -eq 0 ]
