#!/usr/bin/env bash
# Builds the game, its images and its level into a build folder (default: build).
# Extra arguments go to CMake's configure step.
set -eu
racine=$(cd "$(dirname "$0")/.." && pwd)
construction=${CORVELLA_CONSTRUCTION:-$racine/build}
cmake -S "$racine" -B "$construction" "$@" >/dev/null
cmake --build "$construction" -j"$(nproc)"
