#!/usr/bin/env bash
# fuzz.sh against stand-in fuzzers that print what libFuzzer prints: each target starts from
# its seeds and dictionary when it has them (and from nothing when not), the table shows
# inputs per second, and a crash, a leak or a timeout fails the run under its own name.
set -euo pipefail
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/repo/scripts" "$work/repo/fuzz/corpus/fuzz_seeded" "$work/repo/fuzz/dict" \
  "$work/build/bin"
cp "$script" "$work/repo/scripts/fuzz.sh"
echo seed >"$work/repo/fuzz/corpus/fuzz_seeded/one"
echo 'magic="X"' >"$work/repo/fuzz/dict/fuzz_seeded.dict"

# stand_in NAME EXIT RUNS SECONDS [REPORT]: a fuzzer that notes its arguments and ends so.
stand_in() {
  cat >"$work/build/bin/$1" <<SCRIPT
#!/usr/bin/env bash
printf '%s\n' "\$@" >"$work/$1.args"
[ -n "$5" ] && echo "$5"
echo "Done $3 runs in $4 second(s)"
echo "stat::number_of_executed_units: $3"
echo "stat::new_units_added: 7"
exit $2
SCRIPT
  chmod +x "$work/build/bin/$1"
}

fail() { echo "FAIL: $*"; exit 1; }

# name | exit | runs | seconds | what it prints | the table's verdict
cases=(
  "fuzz_seeded|0|50000|10||ok"
  "fuzz_slow|0|900|10||ok, slow"
  "fuzz_crashing|1|10|1|==1==ERROR: AddressSanitizer: heap-buffer-overflow|crash"
  "fuzz_leaking|1|10|1|==1==ERROR: LeakSanitizer: detected memory leaks|leak"
  "fuzz_hanging|70|10|1|==1== ERROR: libFuzzer: timeout after 10 seconds|timeout"
  "fuzz_swelling|71|10|1|==1== ERROR: libFuzzer: out-of-memory (used: 3000Mb)|out of memory"
)
for row in "${cases[@]}"; do
  IFS='|' read -r name code runs seconds report _ <<<"$row"
  stand_in "$name" "$code" "$runs" "$seconds" "$report"
done
# Not a fuzzer: the seed writer lives beside them.
printf '#!/bin/sh\nexit 1\n' >"$work/build/bin/make_fuzz_seeds"
chmod +x "$work/build/bin/make_fuzz_seeds"

set +e
bash "$work/repo/scripts/fuzz.sh" "$work/build" 3 >"$work/out" 2>&1
status=$?
set -e
[ "$status" -ne 0 ] || fail "a run with failing targets passed"

for row in "${cases[@]}"; do
  IFS='|' read -r name code runs seconds report verdict <<<"$row"
  line=$(grep -E "^$name " "$work/out") || fail "no table row for $name"
  [ "$(awk '{print $4}' <<<"$line")" = "$((runs / seconds))" ] || fail "$name inputs/s: $line"
  [[ "$line" == *"  $verdict" ]] || fail "$name should read '$verdict': $line"
  grep -qx -- "-max_total_time=3" "$work/$name.args" || fail "$name was not bounded in time"
  grep -qx -- "-timeout=10" "$work/$name.args" || fail "$name had no time limit per input"
done
grep -q "make_fuzz_seeds" "$work/out" && fail "the seed writer was run as a fuzzer"

# Seeds and dictionary for the target that has them, read only after its own corpus.
args=$(cat "$work/fuzz_seeded.args")
grep -qx "$work/build/corpus/fuzz_seeded" <<<"$args" || fail "seeded target: no own corpus"
grep -qx "$work/repo/fuzz/corpus/fuzz_seeded" <<<"$args" || fail "seeded target: no seeds"
grep -qx -- "-dict=$work/repo/fuzz/dict/fuzz_seeded.dict" <<<"$args" || fail "no dictionary"
[ "$(grep -n "corpus/fuzz_seeded" <<<"$args" | head -1 | grep -c build)" = 1 ] ||
  fail "the seeds came before the corpus that receives new inputs"
# A target without seeds starts empty, without a dictionary.
grep -q "fuzz/corpus\|-dict=" "$work/fuzz_slow.args" && fail "unseeded target got seeds"

# Only passing targets: the run passes.
rm "$work/build/bin/"fuzz_{crashing,leaking,hanging,swelling}
bash "$work/repo/scripts/fuzz.sh" "$work/build" 3 >"$work/out" 2>&1 ||
  fail "a run of passing targets failed: $(cat "$work/out")"
echo "fuzz.sh: verdicts, rates, seeds and dictionaries as expected"
