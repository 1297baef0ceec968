#!/usr/bin/env bash
# clang-tidy on the files named on standard input that the build folder's compile database
# knows, JOBS at a time; fails when any file has a finding.
set -euo pipefail
build="${1:-build}"
jobs="${2:-2}"
database="$build/compile_commands.json"
[ -f "$database" ] || { echo "no $database: configure first" >&2; exit 1; }
known=$(mktemp)
trap 'rm -f "$known"' EXIT
while read -r file; do
  if grep -qF "\"$(realpath "$file")\"" "$database"; then echo "$file"; fi
done > "$known"
echo "clang-tidy: $(wc -l < "$known") files"
# --warnings-as-errors turns every finding into a failing status.
xargs -a "$known" -P "$jobs" -n 4 clang-tidy -p "$build" --quiet --warnings-as-errors='*' \
  2>/dev/null
