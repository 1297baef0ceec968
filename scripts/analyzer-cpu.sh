#!/usr/bin/env bash
# How much of one core the analyzer costs, from the process's own CPU time over a fixed
# period, offscreen, 640 x 480 KS video at 30 Hz from the simulator:
#   plain      live view only
#   working    10 spots and 10 areas measured, the Chart View plotting them, the hot/cold
#              plot and a filter on; its resident size is also read after 1 minute and at
#              the end of RSS_MINUTES (default 10): more than 5 % growth is a leak
#   recording  live view recording a RAW stream file
#   playing    the recorded file played back (paced by its time values)
# Each row uses a settings folder of its own, so the user's settings are untouched. Talks
# only to loopback: an address of its own in 127.0.0.0/8, so a simulator someone else runs on
# the camera port does not answer instead.
# Usage: analyzer-cpu.sh <programs folder> [seconds] [rows...]
set -euo pipefail
bin="$1"
seconds="${2:-30}"
shift $(($# < 2 ? $# : 2))
rows=("$@")
[ ${#rows[@]} -eq 0 ] && rows=(plain working recording playing)
rss_minutes="${RSS_MINUTES:-10}"

declare -A limit=([plain]=10 [working]=20 [recording]=15 [playing]=20)

work=$(mktemp -d)
sim_pid=""
app_pid=""
stop_app() {
  if [ -n "$app_pid" ]; then
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=""
  fi
}
cleanup() {
  stop_app
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  [ -n "${KEEP_WORK:-}" ] && echo "kept $work" >&2 || rm -rf "$work"
}
trap cleanup EXIT

address="127.$((RANDOM % 200 + 20)).$((RANDOM % 250 + 1)).$((RANDOM % 250 + 1))"
"$bin/irsim" --bind "$address" --port 15001 --model vi640 --quiet --log "$work/commands.log" &
sim_pid=$!
for _ in $(seq 1 100); do
  (exec 3<>"/dev/tcp/$address/15001") 2>/dev/null && break
  sleep 0.1
done

# Ten spots along the middle row and ten areas (rectangles and ellipses) around it.
objects="$work/objects.xml"
{
  echo "<?xml version='1.0' encoding='UTF-8'?>"
  echo '<Parent><Camera><Resolution xSize="640" ySize="480"/></Camera><ROIs Depth="20">'
  for i in $(seq 0 9); do
    echo "<ROI type=\"1\" name=\"Spot $((i + 1))\" spot_x=\"$((40 + 60 * i))\" spot_y=\"240\"/>"
  done
  for i in $(seq 0 9); do
    type=$((i % 2 ? 3 : 2))
    left=$((20 + 60 * i))
    top=$((i < 5 ? 60 : 300))
    echo "<ROI type=\"$type\" name=\"Area $((i + 1))\" left=\"$left\" right=\"$((left + 50))\"" \
      "top=\"$top\" bottom=\"$((top + 100))\"/>"
  done
  echo '</ROIs></Parent>'
} >"$objects"

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }

# Starts the analyzer with its own settings folder; the rest of the arguments are its own.
start_app() {
  local home="$work/home-$1"
  shift
  mkdir -p "$home/Pictures"
  XDG_CONFIG_HOME="$home" HOME="$home" QT_QPA_PLATFORM=offscreen \
    "$bin/solvane" "$@" >"$home/solvane.log" 2>&1 &
  app_pid=$!
}

# Waits until the analyzer asked for streaming (packet type 33) and settled.
wait_streaming() {
  : >"$work/commands.log"
  for _ in $(seq 1 200); do
    grep -q " type=33 " "$work/commands.log" 2>/dev/null && break
    sleep 0.1
  done
  sleep 3
  grep -q " type=33 " "$work/commands.log" || {
    echo "the analyzer did not start streaming" >&2
    exit 1
  }
}

measure() {
  local row="$1" start end percent verdict
  start=$(cpu_ticks "$app_pid")
  sleep "$seconds"
  end=$(cpu_ticks "$app_pid")
  percent=$(awk -v t=$((end - start)) -v hz="$(getconf CLK_TCK)" -v s="$seconds" \
    'BEGIN { printf "%.1f", 100 * t / (hz * s) }')
  verdict=$(awk -v p="$percent" -v l="${limit[$row]}" 'BEGIN { print (p <= l) ? "ok" : "MISSED" }')
  printf "solvane %-9s 640x480 at 30 Hz, offscreen: %5s%% of one core over %s s (limit <= %s%%: %s)\n" \
    "$row" "$percent" "$seconds" "${limit[$row]}" "$verdict"
}

recorded=""
for row in "${rows[@]}"; do
  case "$row" in
    plain)
      start_app plain --connect "$address"
      wait_streaming
      measure plain
      ;;
    working)
      start_app working --connect "$address" --objects "$objects" \
        --command actionHotCold --command actionFilter1
      wait_streaming
      started=$(date +%s)
      measure working
      sleep $((started + 60 - $(date +%s) > 0 ? started + 60 - $(date +%s) : 0))
      early=$(rss_kb "$app_pid")
      sleep $((started + rss_minutes * 60 - $(date +%s) > 0 ? started + rss_minutes * 60 - $(date +%s) : 0))
      late=$(rss_kb "$app_pid")
      awk -v a="$early" -v b="$late" -v m="$rss_minutes" 'BEGIN {
        g = 100 * (b - a) / a
        printf "solvane working resident size: %d kB after 1 min, %d kB after %d min (%+.1f%%, limit +5%%: %s)\n",
          a, b, m, g, (g <= 5) ? "ok" : "MISSED" }'
      ;;
    recording)
      start_app recording --connect "$address" --command actionRecordIrStream
      wait_streaming
      measure recording
      recorded=$(ls -t "$work"/home-recording/Pictures/*.hxr 2>/dev/null | head -1 || true)
      ;;
    playing)
      if [ -z "$recorded" ]; then
        start_app recording --connect "$address" --command actionRecordIrStream
        wait_streaming
        sleep "$seconds"
        recorded=$(ls -t "$work"/home-recording/Pictures/*.hxr 2>/dev/null | head -1 || true)
      fi
      stop_app
      [ -n "$recorded" ] || { echo "no recording to play" >&2; exit 1; }
      # Played in a loop, so the file never runs out while it is measured.
      start_app playing --play "$recorded"
      sleep 3
      measure playing
      ;;
    *) echo "unknown row $row" >&2; exit 2 ;;
  esac
  stop_app
done
