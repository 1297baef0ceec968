#!/usr/bin/env bash
# Runs the finder against a real Avahi daemon that sees only the loopback interface, inside
# private network, mount and process namespaces: the daemon, its bus and the announcement
# cannot meet anything outside, and every process of the test ends with the namespace.
# One camera is announced by avahi-publish-service, the other is the simulator announcing
# itself as a real camera would.
# Usage: avahi_loopback_test.sh <finder test executable> <irsim executable>
set -euo pipefail

if [ "${1:-}" != "--inside" ]; then
  exec unshare --net --mount --pid --fork --mount-proc bash "$0" --inside "$@"
fi
shift
finder_test="$1"
irsim="$2"

work="$(mktemp -d /tmp/discovery_avahi_XXXXXX)"
trap 'rm -rf "$work"' EXIT

# Waits (at most 20 s) until the command succeeds.
wait_for() {
  local deadline=$((SECONDS + 20))
  until "$@" >/dev/null 2>&1; do
    if [ $SECONDS -ge $deadline ]; then
      echo "gave up waiting for: $*" >&2
      return 1
    fi
    sleep 0.05
  done
}

ip link set lo up
ip link set lo multicast on
# A private /run: the bus socket and the daemon's pid file of this test only.
mount -t tmpfs tmpfs /run
mkdir -p /run/dbus /run/avahi-daemon

cat >"$work/bus.conf" <<'CONF'
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=/run/dbus/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
CONF

cat >"$work/avahi.conf" <<'CONF'
[server]
allow-interfaces=lo
use-ipv4=yes
use-ipv6=no
enable-dbus=yes
[wide-area]
enable-wide-area=no
[publish]
publish-hinfo=no
publish-workstation=no
CONF

dbus-daemon --config-file="$work/bus.conf" --nofork --nopidfile 2>"$work/bus.log" &
wait_for test -S /run/dbus/system_bus_socket

avahi-daemon -f "$work/avahi.conf" --no-drop-root --no-chroot --no-rlimits \
  >"$work/avahi.log" 2>&1 &
server_running() {
  dbus-send --system --print-reply --dest=org.freedesktop.Avahi / \
    org.freedesktop.Avahi.Server.GetState | grep -q "int32 2"
}
wait_for server_running || { cat "$work/avahi.log" >&2; exit 1; }

# Two cameras: one announced by hand as a record, one the simulator announcing itself.
avahi-publish-service "Dock 7" _vyn-cam._tcp 15001 \
  "model=KT4" "name=Loading dock" "ip=127.0.0.2" "mac=00:11:22:33:44:77" \
  >"$work/publish.log" 2>&1 &
wait_for grep -q "Established" "$work/publish.log"
"$irsim" --model va320 --name "Boiler house" --mac 00:11:22:33:44:88 --announce --quiet \
  >"$work/irsim.log" 2>&1 &
wait_for grep -q "announced as" "$work/irsim.log"

export QT_QPA_PLATFORM=offscreen
unset IRDEX_DNSSD_LIBRARY
"$finder_test"
