#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game from its folder.
set -eu
racine=$(cd "$(dirname "$0")/.." && pwd)
"$racine/scripts/dependances.sh"
"$racine/scripts/construire.sh"
cd "${CORVELLA_CONSTRUCTION:-$racine/build}"
exec ./corvella
