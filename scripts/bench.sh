#!/usr/bin/env bash
# Runs every benchmark executable of the bench build.
set -euo pipefail
bin="$1/bin"
shopt -s nullglob
benches=("$bin"/bench_*)
if [ ${#benches[@]} -eq 0 ]; then
  echo "no benchmarks built yet"
  exit 0
fi
for bench in "${benches[@]}"; do
  echo "== $(basename "$bench")"
  "$bench"
done
