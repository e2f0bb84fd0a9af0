#!/bin/sh
# Starts Corvella from its data folder: the game reads ./Images and ./Data/Maps
# from its working directory. Works wherever the package tree was unpacked.
ici=$(dirname "$(readlink -f "$0")")
donnees="$ici/../share/corvella"
if ! cd "$donnees" 2>/dev/null; then
  echo "corvella: cannot find the game's data in $donnees" >&2
  exit 1
fi
exec "$ici/corvella-jeu" "$@"
