#!/usr/bin/env bash
# Runs every libFuzzer target of the fuzz build for a bounded time each. A crash fails, and
# its report and reproducer (crash-*) are kept in the fuzz build folder.
set -uo pipefail
build=$(cd "$1" && pwd)
bin="$build/bin"
seconds="${2:-20}"
shopt -s nullglob
targets=("$bin"/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets built yet"
  exit 0
fi
failed=0
for target in "${targets[@]}"; do
  name=$(basename "$target")
  corpus="$build/corpus/$name"
  log="$build/$name.log"
  mkdir -p "$corpus"
  echo "== $name for ${seconds}s"
  if (cd "$build" && "$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" >"$log" 2>&1); then
    grep -E 'stat::number_of_executed_units|stat::new_units_added' "$log"
  else
    echo "$name FAILED:"
    grep -v '^#' "$log" | tail -40
    failed=1
  fi
done
exit $failed
