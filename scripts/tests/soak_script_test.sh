#!/usr/bin/env bash
# The soak run's own faults: bad settings and missing programs are refused with a clear word,
# and a program that dies is reported as a crash, with every process it started ended.
# Runs stand-in programs on loopback; no camera stream is involved.
# Usage: soak_script_test.sh <soak.sh>
set -uo pipefail
soak="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
passed=0
check() { # name condition-status
  if [ "$2" = 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1"; fi
}

# Stand-ins: a simulator that only announces where it listens, a recorder that waits for
# Ctrl-C, and an analyzer that dies at once.
mkdir -p "$work/bin"
cat >"$work/bin/irsim" <<'SIM'
#!/usr/bin/env bash
while [ $# -gt 0 ]; do
  case $1 in --bind) bind=$2; shift ;; --port) port=$2; shift ;; esac
  shift
done
[ "$port" = 0 ] && port=40000
echo "irsim: stand-in listening on $bind:$port"
trap 'exit 0' TERM
while :; do sleep 0.2; done
SIM
cat >"$work/bin/irdex" <<'REC'
#!/usr/bin/env bash
[ "$1" = record ] || exit 1
trap 'exit 0' INT
while :; do sleep 0.2; done
REC
printf '#!/usr/bin/env bash\necho "stand-in analyzer gives up" >&2\nexit 3\n' >"$work/bin/solvane"
chmod +x "$work/bin/"*

while IFS='|' read -r name minutes expected_status expected_text; do
  out=$(SOAK_MINUTES="$minutes" timeout 120 bash "$soak" "$work/bin" 2>&1)
  status=$?
  [ "$status" = "$expected_status" ] && grep -qF "$expected_text" <<<"$out"
  check "$name (status $status): $out" $?
done <<'CASES'
minutes that are not a number|ten|2|whole numbers above 0
zero minutes|0|2|whole numbers above 0
an analyzer that dies is a crash|1|1|the analyzer ended by itself with status 3
CASES

out=$(bash "$soak" "$work/nowhere" 2>&1)
[ $? = 2 ] && grep -qF "missing (build it first)" <<<"$out"
check "a programs folder without the programs: $out" $?

# Nothing the run started outlives it.
sleep 1
pgrep -f "$work/bin/" >/dev/null
check "stand-ins still running after the run" $((1 - $?))

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
