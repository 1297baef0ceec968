#!/usr/bin/env bash
# manual-screenshots.sh BUILD
# Takes the HTML manual's screenshots again: each program of the build that exists is started
# on a private X server (Xvfb) with a settings folder of its own, and its main window is
# captured into packaging/manual/images/. Run it after a change that shows.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
images=$here/packaging/manual/images
mkdir -p "$images"
for tool in Xvfb xwininfo import; do
  command -v "$tool" >/dev/null || { echo "manual-screenshots: $tool is missing (xvfb, x11-utils, imagemagick)"; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display number the X server picks itself.
exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
display=""
for _ in $(seq 100); do
  read -r -t 0.2 display <&"$display_fd" || true
  [ -n "$display" ] && break
done
[ -n "$display" ] || { echo "manual-screenshots: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=:$display QT_QPA_PLATFORM=xcb
# A settings folder of its own, so the pictures show the programs as a new user sees them.
export XDG_CONFIG_HOME=$work/config HOME=$work


# shot PROGRAM TITLE_PATTERN [ACTION]: starts the program, waits (bounded) for its window,
# runs ACTION with the window id (clicks and typing), and captures the window.
shot() {
  local program=$1 pattern=$2 action=${3:-} window=""
  if [ ! -x "$build/bin/$program" ]; then
    echo "manual-screenshots: $program is not built; its picture is kept as it was"
    return
  fi
  "$build/bin/$program" >"$work/$program.log" 2>&1 &
  local pid=$!
  for _ in $(seq 150); do
    window=$(xwininfo -root -tree 2>/dev/null | grep -E "\"[^\"]*$pattern[^\"]*\"" \
             | grep -E ' [0-9]{3,}x[0-9]{3,}\+' | head -1 | awk '{print $1}' || true)
    [ -n "$window" ] && break
    sleep 0.2
  done
  if [ -z "$window" ]; then
    echo "manual-screenshots: no window of $program appeared"
    kill "$pid" 2>/dev/null || true
    return 1
  fi
  # Let the first frames and panes be drawn before the capture.
  sleep 3
  if [ -n "$action" ]; then
    "$action" "$window"
    sleep 3
  fi
  import -window "$window" "$images/$program.png"
  echo "manual-screenshots: $images/$program.png"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

shot solvane "Solvane"
shot tessor "Tessor"
shot pagana "Pagana"
