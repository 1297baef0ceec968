#!/usr/bin/env bash
# Runs every libFuzzer target of the fuzz build for a bounded time each. A crash fails.
set -euo pipefail
bin="$1/bin"
seconds="${2:-20}"
shopt -s nullglob
targets=("$bin"/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets built yet"
  exit 0
fi
for target in "${targets[@]}"; do
  name=$(basename "$target")
  corpus="$1/corpus/$name"
  mkdir -p "$corpus"
  echo "== $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" 2>&1 | tail -4
done
