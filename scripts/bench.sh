#!/usr/bin/env bash
# Runs every benchmark executable of the bench build, then prints one table: each export
# beside the peer it names, measured in the same run, with the limit it has to meet.
# BENCH_ARGS replaces the default run length (three short repetitions, medians reported,
# which keeps the whole suite to a few minutes and steadies figures on a shared machine);
# BENCH_FILTER selects benchmarks by regular expression.
set -euo pipefail
bin="$1/bin"
results="$1/results"
shopt -s nullglob
benches=("$bin"/bench_*)
if [ ${#benches[@]} -eq 0 ]; then
  echo "no benchmarks built yet"
  exit 0
fi
args=(${BENCH_ARGS:---benchmark_min_time=0.1 --benchmark_repetitions=3 --benchmark_report_aggregates_only=true})
if [ -n "${BENCH_FILTER:-}" ]; then
  args+=("--benchmark_filter=$BENCH_FILTER")
fi
rm -rf "$results"
mkdir -p "$results"
for bench in "${benches[@]}"; do
  name=$(basename "$bench")
  echo "running $name ..."
  if ! "$bench" --benchmark_format=console --benchmark_out_format=json \
    --benchmark_out="$results/$name.json" "${args[@]}" > "$results/$name.txt" 2>&1; then
    echo "  $name failed, see $results/$name.txt"
  fi
done
echo
python3 "$(dirname "$0")/bench_table.py" "$results"/*.json

# The live analyzer as a whole: its CPU time over 30 s of 640 x 480 video (skipped by a
# BENCH_FILTER run, and where the programs are not built).
if [ -z "${BENCH_FILTER:-}" ] && [ -x "$bin/solvane" ] && [ -x "$bin/irsim" ]; then
  echo
  bash "$(dirname "$0")/analyzer-cpu.sh" "$bin" 30 2>/dev/null | grep -v '^irsim:' || \
    echo "the live analyzer measurement failed"
fi
