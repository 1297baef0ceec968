#!/usr/bin/env bash
# How much of one core the live analyzer costs: 640 x 480 video at 30 Hz from the simulator,
# offscreen, measured from the process's own CPU time over a fixed period. Uses a settings
# folder of its own, so the user's settings are untouched. Talks only to 127.0.0.1.
# Usage: analyzer-cpu.sh <programs folder> [seconds]
set -euo pipefail
bin="$1"
seconds="${2:-30}"
limit=25

work=$(mktemp -d)
sim_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

"$bin/irsim" --bind 127.0.0.1 --port 15001 --model vi640 --quiet --log "$work/commands.log" &
sim_pid=$!
for _ in $(seq 1 100); do
  (exec 3<>/dev/tcp/127.0.0.1/15001) 2>/dev/null && break
  sleep 0.1
done

XDG_CONFIG_HOME="$work" HOME="$work" QT_QPA_PLATFORM=offscreen \
  "$bin/solvane" --connect 127.0.0.1 >"$work/solvane.log" 2>&1 &
app_pid=$!

# Measure only once frames flow: the analyzer has asked for streaming (packet type 33) and
# settled.
for _ in $(seq 1 200); do
  grep -q " type=33 " "$work/commands.log" 2>/dev/null && break
  sleep 0.1
done
sleep 3
grep -q " type=33 " "$work/commands.log" || { echo "the analyzer did not start streaming" >&2; cat "$work/solvane.log" >&2; exit 1; }

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
start=$(cpu_ticks "$app_pid")
sleep "$seconds"
end=$(cpu_ticks "$app_pid")
hz=$(getconf CLK_TCK)
percent=$(awk -v t=$((end - start)) -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * t / (hz * s) }')
verdict=$(awk -v p="$percent" -v l="$limit" 'BEGIN { print (p < l) ? "ok" : "MISSED" }')
echo "solvane live 640x480 at 30 Hz, offscreen: ${percent}% of one core over ${seconds} s (limit < ${limit}%: ${verdict})"
