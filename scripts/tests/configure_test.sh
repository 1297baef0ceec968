#!/usr/bin/env bash
# The Makefile's configure step on a folder made with another generator must succeed and keep
# that generator; a fresh folder gets Ninja where it is installed. A throwaway project keeps
# this cheap.
set -euo pipefail
configure=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/src"
printf 'cmake_minimum_required(VERSION 3.25)\nproject(probe NONE)\n' >"$work/src/CMakeLists.txt"

generator_of() { sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$1/CMakeCache.txt"; }

cmake -S "$work/src" -B "$work/made-with-make" -G "Unix Makefiles" >/dev/null
bash "$configure" "$work/src" "$work/made-with-make" >/dev/null
[ "$(generator_of "$work/made-with-make")" = "Unix Makefiles" ] || {
  echo "FAIL: a Makefiles folder changed generator"; exit 1; }

if command -v ninja >/dev/null 2>&1; then
  cmake -S "$work/src" -B "$work/made-with-ninja" -G Ninja >/dev/null
  bash "$configure" "$work/src" "$work/made-with-ninja" >/dev/null
  [ "$(generator_of "$work/made-with-ninja")" = "Ninja" ] || {
    echo "FAIL: a Ninja folder changed generator"; exit 1; }
  bash "$configure" "$work/src" "$work/fresh" >/dev/null
  [ "$(generator_of "$work/fresh")" = "Ninja" ] || {
    echo "FAIL: a fresh folder did not get Ninja"; exit 1; }
fi
echo "configure: generators kept"
