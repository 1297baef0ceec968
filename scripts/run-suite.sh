#!/usr/bin/env bash
# Starts the camera simulator on loopback and the analyzer connected to it; closing the
# analyzer stops the simulator. IRSIM_ARGS picks another simulated camera, for example
#   make run IRSIM_ARGS="--model va320 --version 33"
set -euo pipefail
# The folder of the built programs (scripts/run.sh passes it).
bin="${1:-build/bin}"
port="${IRSIM_PORT:-15001}"
address=127.0.0.1

# The default camera: a KS VI640 (640 x 480) looking at the moving blob scene.
# shellcheck disable=SC2206
sim_args=(${IRSIM_ARGS:---model vi640})

"$bin/irsim" --bind "$address" --port "$port" --quiet "${sim_args[@]}" &
sim_pid=$!
stop_simulator() {
  if kill -0 "$sim_pid" 2>/dev/null; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
}
trap stop_simulator EXIT INT TERM

# The analyzer retries a refused connection only after 10 s: wait until the port listens.
for _ in $(seq 1 100); do
  if ! kill -0 "$sim_pid" 2>/dev/null; then
    echo "irsim did not start (arguments: ${sim_args[*]})" >&2
    exit 1
  fi
  if (exec 3<>"/dev/tcp/$address/$port") 2>/dev/null; then break; fi
  sleep 0.1
done

echo "irsim listens on $address:$port (${sim_args[*]}); starting solvane"
"$bin/solvane" --connect "$address"
