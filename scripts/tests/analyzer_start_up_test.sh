#!/usr/bin/env bash
# The analyzer's unattended start: commands given on the command line run once a picture is
# shown, each once; a command that does not exist is refused before anything starts.
# Talks only to an address of its own in 127.0.0.0/8.
# Usage: analyzer_start_up_test.sh <programs folder>
set -uo pipefail
bin="$1"
work=$(mktemp -d)
sim_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failed=0
check() { # name condition-status
  if [ "$2" = 0 ]; then echo "ok: $1"; else failed=1; echo "FAILED: $1"; fi
}
export XDG_CONFIG_HOME="$work/home" HOME="$work/home" QT_QPA_PLATFORM=offscreen
mkdir -p "$work/home/Pictures"

"$bin/solvane" --command actionNoSuchThing >"$work/bad.out" 2>&1
status=$?
check "an unknown command is refused with status 2" $([ "$status" = 2 ]; echo $?)
grep -q "no window command is called actionNoSuchThing" "$work/bad.out"
check "the refusal names the command" $?

address="127.$((RANDOM % 200 + 20)).$((RANDOM % 250 + 1)).$((RANDOM % 250 + 1))"
"$bin/irsim" --bind "$address" --port 15001 --model va320 --quiet &
sim_pid=$!
for _ in $(seq 1 100); do
  (exec 3<>"/dev/tcp/$address/15001") 2>/dev/null && break
  sleep 0.1
done
# Recording twice in a row would leave two files: one file proves the command ran once.
"$bin/solvane" --connect "$address" --command actionRecordIrStream \
  --command actionHotCold >"$work/app.out" 2>&1 &
app_pid=$!
recorded=""
for _ in $(seq 1 300); do
  recorded=$(ls "$work"/home/Pictures/*.hxr 2>/dev/null | head -n 1)
  [ -n "$recorded" ] && [ "$(stat -c %s "$recorded")" -gt 300000 ] && break
  sleep 0.1
done
check "the recording command ran once the picture showed" $([ -n "$recorded" ]; echo $?)
kill "$app_pid" 2>/dev/null
wait "$app_pid" 2>/dev/null
app_pid=""
check "it ran once" $([ "$(ls "$work"/home/Pictures/*.hxr 2>/dev/null | wc -l)" = 1 ]; echo $?)
frames=$("$bin/irdex" info "$recorded" 2>/dev/null | awk '$1 == "frames" {print $2; exit}')
check "the file holds frames ($frames)" $([ "${frames:-0}" -gt 0 ] 2>/dev/null; echo $?)
exit $failed
