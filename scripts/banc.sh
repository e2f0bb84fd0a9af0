#!/usr/bin/env bash
# The benchmark of the game: builds it and corvella-bench in Release from a
# clean build folder, then runs corvella-bench, which starts its own virtual
# screens (Xvfb, 800x600 and 1920x1080) whether or not there is a display, and
# prints every figure against its floor. See BENCHMARKS.md.
#
#   scripts/banc.sh           every figure, repeated (a few minutes)
#   scripts/banc.sh --bref    a short run: checks that everything runs and
#                             prints the ratios (CI); fails on errors only
#   scripts/banc.sh --demarrage [PAIRS]
#                             the start-up alone against the bare window
#                             (default 25 pairs, about a minute)
#   scripts/banc.sh --profil  instruction counts under callgrind
#
# The build folder is build-banc (or $CORVELLA_CONSTRUCTION); it is emptied
# first. The report is also written to banc-resultats.txt in it.
set -eu
racine=$(cd "$(dirname "$0")/.." && pwd)
construction=${CORVELLA_CONSTRUCTION:-$racine/build-banc}

"$racine/scripts/dependances.sh"
if [ "${1:-}" = --profil ] && ! command -v valgrind >/dev/null; then
  if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends valgrind
fi

rm -rf "$construction"
cmake -S "$racine" -B "$construction" -DCMAKE_BUILD_TYPE=Release -DCORVELLA_TESTS=OFF >/dev/null
cmake --build "$construction" -j"$(nproc)" --target corvella-bench >/dev/null
set -o pipefail
"$construction/bench/corvella-bench" "$@" | tee "$construction/banc-resultats.txt"
