#!/usr/bin/env bash
# Runs every benchmark executable of the bench build, then prints one table: each export
# beside the peer it names, measured in the same run.
set -euo pipefail
bin="$1/bin"
results="$1/results"
shopt -s nullglob
benches=("$bin"/bench_*)
if [ ${#benches[@]} -eq 0 ]; then
  echo "no benchmarks built yet"
  exit 0
fi
rm -rf "$results"
mkdir -p "$results"
for bench in "${benches[@]}"; do
  name=$(basename "$bench")
  echo "running $name ..."
  "$bench" --benchmark_format=console --benchmark_out_format=json \
    --benchmark_out="$results/$name.json" ${BENCH_ARGS:-} > "$results/$name.txt"
done
echo
python3 "$(dirname "$0")/bench_table.py" "$results"/*.json
