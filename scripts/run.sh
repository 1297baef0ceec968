#!/usr/bin/env bash
# `make run`: start the camera simulator on loopback and the analyzer connected to it.
# Until both programs are built, say plainly what can be run.
set -euo pipefail
bin="${1:-build}/bin"

if [ -x "$bin/irsim" ] && [ -x "$bin/solvane" ]; then
  exec bash "$(dirname "$0")/run-suite.sh" "$bin"
fi

echo "The suite is built into $bin."
echo "Not all programs exist yet; what can be run now:"
found=0
for program in solvane tessor pagana irsim; do
  if [ -x "$bin/$program" ]; then
    echo "  $bin/$program"
    found=1
  fi
done
[ $found -eq 1 ] || echo "  (no program yet: the SDK library $bin/libirdex.so and its tests)"
echo "Run the tests with: make test"
