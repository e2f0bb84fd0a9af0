#!/bin/sh
# Starts Corvella from its data folder: the game reads ./Images and ./Data/Maps
# from its working directory. Works wherever the package tree was unpacked.
# When the player has their own copy of the level (made by corvella-editeur),
# the game plays that copy, from the copy's folder.
ici=$(dirname "$(readlink -f "$0")")
donnees="$ici/../share/corvella"
if [ ! -d "$donnees" ]; then
  echo "corvella: cannot find the game's data in $donnees" >&2
  exit 1
fi
. "$donnees/dossier-utilisateur.sh"
dossier="$donnees"
if [ -n "$utilisateur" ] && [ -f "$utilisateur/Data/Maps/Map1.map" ] && lier_donnees 2>/dev/null; then
  dossier="$utilisateur"
fi
if ! cd "$dossier" 2>/dev/null; then
  echo "corvella: cannot enter $dossier" >&2
  exit 1
fi
exec "$ici/corvella-jeu" "$@"
