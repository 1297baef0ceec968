#!/usr/bin/env bash
# configure.sh SOURCE BUILD [cmake arguments...]
# Configures a build folder. A folder that was configured before keeps the generator it was
# made with (CMake refuses another one); a new folder gets Ninja when it is installed, else
# Makefiles. Called after install-deps.sh, so a fresh machine's first run already sees Ninja.
set -euo pipefail
source_dir=$1
build_dir=$2
shift 2
if [ -f "$build_dir/CMakeCache.txt" ]; then
  exec cmake -S "$source_dir" -B "$build_dir" "$@"
fi
if command -v ninja >/dev/null 2>&1; then
  generator=Ninja
else
  generator="Unix Makefiles"
fi
exec cmake -S "$source_dir" -B "$build_dir" -G "$generator" "$@"
