#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite, the tests
# that open real windows included (under a virtual display when there is none).
# Extra arguments go to CMake's configure step, e.g. -DCORVELLA_SANITIZERS=ON.
set -eu
racine=$(cd "$(dirname "$0")/.." && pwd)
"$racine/scripts/dependances.sh"
"$racine/scripts/construire.sh" "$@"
cd "${CORVELLA_CONSTRUCTION:-$racine/build}"
"$racine/scripts/sous-affichage.sh" ctest --output-on-failure
