#!/usr/bin/env bash
# fuzz.sh BUILD [SECONDS]
# Runs every libFuzzer target of the fuzz build for a bounded time each and prints a table of
# inputs per second. A target starts from its seeds in fuzz/corpus/<target>/ (read only; what
# it finds goes to BUILD/corpus/<target>/) and uses fuzz/dict/<target>.dict when there is one;
# a target with neither simply starts empty. A crash, a leak, an input that runs longer than
# FUZZ_INPUT_TIMEOUT seconds or one that needs more than FUZZ_RSS_MB fails the run, and its
# report and reproducer (crash-*, leak-*, timeout-*, oom-*) are kept in the fuzz build folder.
set -uo pipefail
if [ $# -lt 1 ] || [ ! -d "$1" ]; then
  echo "usage: fuzz.sh BUILD [SECONDS]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
bin="$build/bin"
seconds="${2:-20}"
input_timeout="${FUZZ_INPUT_TIMEOUT:-10}"
rss_mb="${FUZZ_RSS_MB:-2048}"
# Below this many inputs per second a target is marked slow: it finds little in a short run.
slow_below="${FUZZ_SLOW_BELOW:-1000}"
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
shopt -s nullglob
targets=()
for candidate in "$bin"/fuzz_*; do
  [ -x "$candidate" ] && [ -f "$candidate" ] && targets+=("$candidate")
done
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets built yet"
  exit 0
fi

# Why a target failed, from libFuzzer's own words in its log.
failure_kind() {
  if grep -q 'ERROR: libFuzzer: timeout' "$1"; then
    echo "timeout"
  elif grep -q 'ERROR: LeakSanitizer' "$1"; then
    echo "leak"
  elif grep -q 'ERROR: libFuzzer: out-of-memory' "$1"; then
    echo "out of memory"
  elif grep -qE 'ERROR: (AddressSanitizer|libFuzzer: deadly signal)|runtime error:' "$1"; then
    echo "crash"
  else
    echo "failed"
  fi
}

failed=0
rows=()
for target in "${targets[@]}"; do
  name=$(basename "$target")
  corpus="$build/corpus/$name"
  log="$build/$name.log"
  mkdir -p "$corpus"
  inputs=("$corpus")
  seeds="$source_dir/fuzz/corpus/$name"
  [ -d "$seeds" ] && inputs+=("$seeds")
  options=(-max_total_time="$seconds" -timeout="$input_timeout" -rss_limit_mb="$rss_mb"
    -print_final_stats=1 -artifact_prefix="$build/")
  dict="$source_dir/fuzz/dict/$name.dict"
  [ -f "$dict" ] && options+=(-dict="$dict")
  echo "== $name for ${seconds}s"
  if (cd "$build" && "$target" "${options[@]}" "${inputs[@]}" >"$log" 2>&1); then
    result="ok"
  else
    result=$(failure_kind "$log")
    echo "$name: $result"
    grep -v '^#' "$log" | tail -40
    failed=1
  fi
  runs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+).*/\1/p' "$log" | tail -1)
  took=$(sed -nE 's/^Done [0-9]+ runs in ([0-9]+) second.*/\1/p' "$log" | tail -1)
  added=$(sed -nE 's/^stat::new_units_added: *([0-9]+).*/\1/p' "$log" | tail -1)
  runs=${runs:-0}
  took=${took:-$seconds}
  [ "$took" -gt 0 ] || took=1
  rate=$((runs / took))
  if [ "$result" = ok ] && [ "$rate" -lt "$slow_below" ]; then result="ok, slow"; fi
  rows+=("$(printf '%-28s %10s %8s %10s %6s  %s' "$name" "$runs" "$took" "$rate" "${added:-0}" "$result")")
done

echo
printf '%-28s %10s %8s %10s %6s  %s\n' "target" "inputs" "seconds" "inputs/s" "new" "result"
printf '%s\n' "${rows[@]}"
exit $failed
