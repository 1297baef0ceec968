#!/usr/bin/env bash
# Long run of the analyzer (offscreen) and of `irdex record` against simulators that cycle
# through their faults: close mid-frame, foreign bytes, NAK storms, stalls, a slow link, and
# a restart of the simulator between every two phases. Fails on a crash, a hang (no frame for
# longer than the reconnect rules allow), resident memory growing by more than 5 %, or a
# recording that does not play to its last whole frame.
#
# Usage: soak.sh <programs folder>
#   SOAK_MINUTES          length of the run (default 10)
#   SOAK_PHASE_SECONDS    time of one fault phase before the simulators restart (default 30)
#   SOAK_HANG_SECONDS     longest time without a frame outside a NAK storm (default 45)
#   SOAK_WARMUP_SECONDS   memory is measured from the first phase change after this (default
#                         180: the analyzer's graphs keep 4,096 points a series, full after
#                         about 140 s at 30 passes a second; memory grows until then)
#   SOAK_ANALYZER_ARGS    extra arguments for the analyzer (by default it measures six
#                         spots and six areas, with the hot/cold plot and a filter on)
#   SOAK_KEEP             folder to keep the logs and the recording in (default: removed);
#                         memory.txt there has both programs' resident size at every phase
#
# Only loopback: every run takes its own address in 127.0.0.0/8, so it neither meets another
# run nor a simulator someone started on 127.0.0.1.
set -euo pipefail

bin="${1:?usage: soak.sh <programs folder>}"
minutes="${SOAK_MINUTES:-10}"
phase_seconds="${SOAK_PHASE_SECONDS:-30}"
# The analyzer waits 10 s between connection attempts; an attempt can fall just before the
# simulator is back, so two of them, plus a stall (5 s) and the handshake, stay within 45 s.
hang_seconds="${SOAK_HANG_SECONDS:-45}"
warmup_seconds="${SOAK_WARMUP_SECONDS:-180}"
growth_limit_percent=5

for value in "$minutes" "$phase_seconds" "$hang_seconds" "$warmup_seconds"; do
  [[ "$value" =~ ^[0-9]+$ ]] && [ "$value" -gt 0 ] || {
    echo "soak: SOAK_MINUTES, SOAK_PHASE_SECONDS, SOAK_HANG_SECONDS and SOAK_WARMUP_SECONDS are whole numbers above 0" >&2
    exit 2
  }
done
for program in irsim irdex solvane; do
  [ -x "$bin/$program" ] || { echo "soak: $bin/$program is missing (build it first)" >&2; exit 2; }
done

# KS camera 384 x 288 with its extra measurement row, 16-bit pixels: the bytes of one frame.
# The analyzer has no frame counter readable from outside, so frames are counted from the
# simulators' side: the bytes each one's client has acknowledged on the link (ss), divided by
# the frame's size.
frame_bytes=$((384 * 289 * 2))

work=$(mktemp -d)
address="127.$((RANDOM % 200 + 20)).$((RANDOM % 250 + 1)).$((RANDOM % 250 + 1))"
analyzer_port=15001 # the analyzer dials this port only
recorder_port=""
app_pid=""
rec_pid=""
sim_app_pid=""
sim_rec_pid=""

stop_pid() { # pid signal seconds: ends one process we started, forcefully when it lingers
  local pid=$1 signal=$2 seconds=$3
  [ -n "$pid" ] || return 0
  kill -0 "$pid" 2>/dev/null || return 0
  kill -"$signal" "$pid" 2>/dev/null || true
  for _ in $(seq 1 $((seconds * 10))); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  return 1
}

cleanup() {
  stop_pid "$rec_pid" INT 20 || true
  stop_pid "$app_pid" TERM 20 || true
  stop_pid "$sim_app_pid" TERM 10 || true
  stop_pid "$sim_rec_pid" TERM 10 || true
  wait 2>/dev/null || true
  if [ -n "${SOAK_KEEP:-}" ]; then
    mkdir -p "$SOAK_KEEP" && cp -r "$work"/. "$SOAK_KEEP"/ && echo "soak: logs kept in $SOAK_KEEP"
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# One fault per phase, in turn; "expects frames" is 0 where the camera refuses everything.
phase_names=("restart only" "close mid-frame" "garbage" "NAK storm" "stall" "slow link")
phase_faults=("" "close-mid:90" "foreign:120:64" "nak:2" "stall:60:5000" "slow:400000")
phase_frames=(1 1 1 0 1 1)

start_sim() { # role port fault -> pid in sim_<role>_pid
  local role=$1 port=$2 fault=$3 args=()
  [ -n "$fault" ] && args+=(--fault "$fault")
  "$bin/irsim" --bind "$address" --port "$port" --log "$work/$role-commands.log" \
    "${args[@]}" >>"$work/$role-sim.out" 2>>"$work/$role-sim.err" &
  local pid=$!
  local listening=""
  for _ in $(seq 1 100); do
    listening=$(grep -o "listening on $address:[0-9]*" "$work/$role-sim.out" | tail -n 1 || true)
    [ -n "$listening" ] && [ "$(grep -c 'listening on' "$work/$role-sim.out")" -gt "$(cat "$work/$role-starts")" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null || { echo "soak: the $role simulator did not start" >&2; cat "$work/$role-sim.err" >&2; exit 1; }
  echo $(($(cat "$work/$role-starts") + 1)) >"$work/$role-starts"
  eval "sim_${role}_pid=$pid"
  [ "$role" = rec ] && recorder_port=${listening##*:}
  return 0
}

echo "# seconds, resident kB of the analyzer and of irdex record, link bytes of each" >"$work/memory.txt"
echo 0 >"$work/app-starts"
echo 0 >"$work/rec-starts"
start_sim app "$analyzer_port" ""
start_sim rec 0 "" # a free port, kept for the simulator's restarts

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status" 2>/dev/null || echo 0; }
# Bytes the simulator's current client has acknowledged on the port, 0 without a client.
acked_bytes() {
  local value
  value=$(ss -tniH state established src "$address:$1" 2>/dev/null | grep -o 'bytes_acked:[0-9]*' | head -n 1 || true)
  echo "${value#bytes_acked:}" | sed 's/^$/0/'
}
declare -A link_prev=([app]=0 [rec]=0) link_total=([app]=0 [rec]=0)
sample_link() { # role port: adds what the client took since the last look (a new connection starts at 0)
  local now
  now=$(acked_bytes "$2")
  if [ "$now" -ge "${link_prev[$1]}" ]; then
    link_total[$1]=$((link_total[$1] + now - link_prev[$1]))
  else
    link_total[$1]=$((link_total[$1] + now))
  fi
  link_prev[$1]=$now
}

# The analyzer with a settings folder of its own: the user's settings stay untouched. It
# works as a watching analyzer does: objects measured on every frame (the graphs plot them),
# the hot/cold plot and a filter on.
mkdir -p "$work/home"
objects="$work/objects.xml"
{
  echo "<?xml version='1.0' encoding='UTF-8'?>"
  echo '<Parent><Camera><Resolution xSize="384" ySize="288"/></Camera><ROIs Depth="12">'
  for i in $(seq 0 5); do
    echo "<ROI type=\"1\" name=\"Spot $((i + 1))\" spot_x=\"$((30 + 60 * i))\" spot_y=\"144\"/>"
    echo "<ROI type=\"$((i % 2 ? 3 : 2))\" name=\"Area $((i + 1))\" left=\"$((10 + 60 * i))\"" \
      "right=\"$((60 + 60 * i))\" top=\"$((i < 3 ? 20 : 180))\" bottom=\"$((i < 3 ? 100 : 260))\"/>"
  done
  echo '</ROIs></Parent>'
} >"$objects"
analyzer_args="${SOAK_ANALYZER_ARGS---objects $objects --command actionHotCold --command actionFilter1}"
# shellcheck disable=SC2086 # extra arguments are words on purpose
XDG_CONFIG_HOME="$work/home" HOME="$work/home" QT_QPA_PLATFORM=offscreen \
  "$bin/solvane" --connect "$address" $analyzer_args >"$work/solvane.log" 2>&1 &
app_pid=$!
"$bin/irdex" record "$address:$recorder_port" "$work/soak.hxr" --attempts 1000 \
  --retry-delay 1 --timeout "$hang_seconds" --quiet >"$work/irdex.out" 2>"$work/irdex.err" &
rec_pid=$!

echo "soak: ${minutes} min on $address (analyzer port $analyzer_port, recorder port $recorder_port)," \
  "phases of ${phase_seconds} s: ${phase_names[*]}"

failures=()
fail() { failures+=("$1"); echo "soak: FAIL: $1" >&2; }

# Dead before we stopped it: a crash (or a give-up), with its status and its last words.
check_alive() { # name pid log
  kill -0 "$2" 2>/dev/null && return 0
  local status=0
  wait "$2" || status=$?
  fail "$1 ended by itself with status $status: $(tail -n 3 "$3" | tr '\n' ' ')"
  return 1
}

total_seconds=$((minutes * 60))
started=$SECONDS
phase=0
phase_started=$SECONDS
app_progress=$SECONDS
rec_progress=$SECONDS
app_mark=0
rec_mark=0
app_rss_start=""
rec_rss_start=""
alive=1

while [ $((SECONDS - started)) -lt "$total_seconds" ]; do
  sleep 1
  now=$SECONDS
  check_alive "the analyzer" "$app_pid" "$work/solvane.log" || { alive=0; break; }
  check_alive "irdex record" "$rec_pid" "$work/irdex.err" || { alive=0; break; }

  # Progress is a frame's worth of bytes read from the link.
  sample_link app "$analyzer_port"
  sample_link rec "$recorder_port"
  if [ $((link_total[app] - app_mark)) -ge "$frame_bytes" ]; then app_progress=$now; app_mark=${link_total[app]}; fi
  if [ $((link_total[rec] - rec_mark)) -ge "$frame_bytes" ]; then rec_progress=$now; rec_mark=${link_total[rec]}; fi
  # A camera that refuses every command sends no frame; the time of the storm is excused.
  if [ "${phase_frames[$phase]}" = 0 ]; then app_progress=$now; rec_progress=$now; fi
  if [ $((now - app_progress)) -gt "$hang_seconds" ]; then
    fail "the analyzer received no frame for $((now - app_progress)) s (phase: ${phase_names[$phase]})"
    break
  fi
  if [ $((now - rec_progress)) -gt "$hang_seconds" ]; then
    fail "irdex record received no frame for $((now - rec_progress)) s (phase: ${phase_names[$phase]})"
    break
  fi

  if [ $((now - phase_started)) -ge "$phase_seconds" ]; then
    # The warm-up: memory is measured from its end, once buffers, tables, the graphs' bounded
    # series and the recording's file exist.
    if [ -z "$app_rss_start" ] && [ $((now - started)) -ge "$warmup_seconds" ]; then
      app_rss_start=$(rss_kb "$app_pid")
      rec_rss_start=$(rss_kb "$rec_pid")
    fi
    # The course of memory, not only its ends: a leak climbs phase after phase, a buffer
    # filling up levels off (kept with the logs).
    echo "$((now - started)) $(rss_kb "$app_pid") $(rss_kb "$rec_pid") ${link_total[app]} ${link_total[rec]}" \
      >>"$work/memory.txt"
    phase=$(((phase + 1) % ${#phase_names[@]}))
    fault=${phase_faults[$phase]}
    echo "soak: $((now - started)) s: restarting the simulators, phase \"${phase_names[$phase]}\"${fault:+ (--fault $fault)}"
    sample_link app "$analyzer_port"
    sample_link rec "$recorder_port"
    link_prev=([app]=0 [rec]=0)
    stop_pid "$sim_app_pid" TERM 10 || fail "the analyzer's simulator did not stop"
    stop_pid "$sim_rec_pid" TERM 10 || fail "the recorder's simulator did not stop"
    start_sim app "$analyzer_port" "$fault"
    start_sim rec "$recorder_port" "$fault"
    phase_started=$SECONDS
  fi
done

app_rss_end=$(rss_kb "$app_pid")
rec_rss_end=$(rss_kb "$rec_pid")
[ -n "$app_rss_start" ] || { app_rss_start=$app_rss_end; rec_rss_start=$rec_rss_end; }
sample_link app "$analyzer_port"
app_frames=$((link_total[app] / frame_bytes))

# Ctrl-C ends a recording cleanly; the analyzer closes its window on SIGTERM.
rec_status=0
app_status=0
if [ "$alive" = 1 ]; then
  if stop_pid "$rec_pid" INT 30; then wait "$rec_pid" || rec_status=$?; else rec_status=hang; fi
  if stop_pid "$app_pid" TERM 30; then wait "$app_pid" || app_status=$?; else app_status=hang; fi
  [ "$rec_status" = 0 ] || fail "irdex record did not end cleanly on Ctrl-C (status $rec_status): $(tail -n 3 "$work/irdex.err" | tr '\n' ' ')"
  [ "$app_status" = 0 ] || fail "the analyzer did not end cleanly on SIGTERM (status $app_status)"
  rec_pid=""
  app_pid=""
fi

growth_ok() { # name start end
  local verdict
  if [ -z "$3" ] || [ "$3" = 0 ]; then
    echo "$1 resident memory: ${2:-?} kB after warm-up, no reading at the end (it had ended)"
    return 0
  fi
  verdict=$(awk -v a="$2" -v b="$3" -v l="$growth_limit_percent" \
    'BEGIN { g = a > 0 ? 100 * (b - a) / a : 0; printf "%+.1f%% %s", g, (g > l) ? "over" : "ok" }')
  echo "$1 resident memory: ${2} kB after warm-up, ${3} kB at the end (${verdict% *})"
  [ "${verdict#* }" = ok ] || fail "$1 resident memory grew by ${verdict% *} (limit ${growth_limit_percent}%)"
}

connections() { grep -c " connected$" "$work/$1-sim.err" 2>/dev/null || true; }

# The recording plays to its last whole frame: in each of its files (a recording longer than
# the 600 MiB limit goes on in soak_2.hxr, soak_3.hxr, ...) the last frame converts, and a
# copy made by reading every frame has as many as the file says it holds.
recorded=0
files=0
check_recording_file() { # path -> adds its frames to $recorded
  local file=$1 frames copied
  if ! "$bin/irdex" info --json "$file" >"$work/info.json" 2>"$work/info.err"; then
    fail "irdex info cannot read $(basename "$file"): $(cat "$work/info.err")"
    return
  fi
  frames=$(grep -o '"frames": *[0-9]*' "$work/info.json" | head -n 1 | grep -o '[0-9]*$' || echo 0)
  if [ "$frames" -le 0 ]; then
    fail "$(basename "$file") holds no frame"
    return
  fi
  recorded=$((recorded + frames))
  "$bin/irdex" convert --quiet "$file" "$work/last.csv" --frames $((frames - 1)) \
    >/dev/null 2>"$work/convert.err" ||
    fail "the last frame ($((frames - 1))) of $(basename "$file") does not play: $(cat "$work/convert.err")"
  rm -f "$work/copy.hxr"
  if "$bin/irdex" convert --quiet "$file" "$work/copy.hxr" >/dev/null 2>"$work/copy.err"; then
    copied=$("$bin/irdex" info --json "$work/copy.hxr" | grep -o '"frames": *[0-9]*' | head -n 1 | grep -o '[0-9]*$' || echo 0)
    [ "$copied" = "$frames" ] ||
      fail "reading $(basename "$file") through gives $copied frames, the file says $frames"
  else
    fail "$(basename "$file") does not play through: $(cat "$work/copy.err")"
  fi
}
if [ -s "$work/soak.hxr" ]; then
  for file in "$work/soak.hxr" $(ls "$work"/soak_*.hxr 2>/dev/null | sort -V); do
    files=$((files + 1))
    check_recording_file "$file"
  done
else
  fail "no recording was written"
fi

app_connections=$(connections app)
rec_connections=$(connections rec)
echo "analyzer: $app_connections connections to its simulator ($((app_connections > 0 ? app_connections - 1 : 0)) reconnects, counted by the simulator)," \
  "about $app_frames frames received (bytes it acknowledged to the simulator / $frame_bytes)"
echo "irdex record: $rec_connections connections to its simulator ($((rec_connections > 0 ? rec_connections - 1 : 0)) reconnects, counted by the simulator)," \
  "$recorded frames recorded in $files file(s)"
growth_ok "analyzer" "$app_rss_start" "$app_rss_end"
growth_ok "irdex record" "$rec_rss_start" "$rec_rss_end"

if [ ${#failures[@]} -gt 0 ]; then
  echo "soak: FAILED (${#failures[@]}):"
  printf '  %s\n' "${failures[@]}"
  exit 1
fi
echo "soak: passed, $((SECONDS - started)) s"
