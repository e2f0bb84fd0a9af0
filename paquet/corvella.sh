#!/bin/sh
# Starts Corvella from a working folder: the game reads ./Images, ./Sons and
# ./Data/Maps/Map1.map from its working directory. Works wherever the package
# tree was unpacked (launchers in games/, programs in libexec/corvella/, data
# in share/corvella/).
#
# Without FILE the game plays from the installed data folder, or from the
# folder of the player's own copy of the level when corvella-editeur has made
# one. With FILE it plays that level file in a private working folder made for
# the run, removed when the game ends.
ici=$(dirname "$(readlink -f "$0")")
donnees="$ici/../share/corvella"
jeu="$ici/../libexec/corvella/corvella-jeu"
usage="usage: corvella [FILE]
Plays Corvella: your own copy of the level (made by corvella-editeur), or the
installed level; with FILE, plays that level file, from any folder.
       corvella --help
Prints this help. The keys are in corvella(6)."

case "${1:-}" in
  --help|-h)
    echo "$usage"
    exit 0 ;;
  --) shift ;;
  -?*)
    echo "corvella: unknown option $1" >&2
    echo "$usage" >&2
    exit 2 ;;
esac
if [ $# -gt 1 ]; then
  echo "corvella: one level file at most" >&2
  echo "$usage" >&2
  exit 2
fi
if [ ! -d "$donnees/Images" ]; then
  echo "corvella: cannot find the game's data in $donnees" >&2
  exit 1
fi

# A level file: a readable regular file of at most 16 MiB (what corvella-carte
# reads) with a line "[Infos]" or "[Map]" in its first 4 KiB (what the
# desktop's type for levels looks for).
niveau_lisible() {
  if [ -d "$1" ]; then
    echo "corvella: $1 is a folder, not a level file" >&2
  elif [ ! -e "$1" ]; then
    echo "corvella: $1: no such file" >&2
  elif [ ! -f "$1" ]; then
    echo "corvella: $1 is not a regular file" >&2
  elif [ ! -r "$1" ] || ! taille=$(wc -c < "$1" 2>/dev/null); then
    echo "corvella: cannot read $1" >&2
  elif [ "$taille" -gt 16777216 ]; then
    echo "corvella: $1 is too large for a level ($taille bytes, at most 16 MiB)" >&2
  elif ! head -c 4096 "$1" | grep -qaE "^\[(Infos|Map)\]$(printf '\r')?\$"; then
    echo "corvella: $1 is not a Corvella level (no [Infos] or [Map] line in its first 4 KiB)" >&2
  else
    return 0
  fi
  return 1
}

if [ $# -eq 0 ]; then
  . "$donnees/dossier-utilisateur.sh"
  dossier="$donnees"
  if [ -n "$utilisateur" ] && [ -f "$utilisateur/Data/Maps/Map1.map" ] && lier_donnees 2>/dev/null; then
    dossier="$utilisateur"
  fi
  if ! cd "$dossier" 2>/dev/null; then
    echo "corvella: cannot enter $dossier" >&2
    exit 1
  fi
  exec "$jeu"
fi

niveau_lisible "$1" || exit 1
parent=${XDG_RUNTIME_DIR:-}
if [ -z "$parent" ] || [ ! -d "$parent" ] || [ ! -w "$parent" ]; then
  parent=${TMPDIR:-/tmp}
fi
if ! travail=$(mktemp -d "$parent/corvella.XXXXXX"); then
  echo "corvella: cannot make a working folder in $parent" >&2
  exit 1
fi
trap 'rm -rf "$travail"' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
if ! { mkdir -p "$travail/Data/Maps" && cp "$1" "$travail/Data/Maps/Map1.map" &&
       ln -s "$donnees/Images" "$travail/Images" && ln -s "$donnees/Sons" "$travail/Sons"; }; then
  echo "corvella: cannot prepare the working folder $travail" >&2
  exit 1
fi
cd "$travail" || exit 1
# The game runs as a child so that its folder can be removed after it; a
# signal to the launcher is passed on to the game, whose end then ends this.
"$jeu" &
partie=$!
trap 'kill -HUP $partie 2>/dev/null' HUP
trap 'kill -INT $partie 2>/dev/null' INT
trap 'kill -TERM $partie 2>/dev/null' TERM
statut=0
while :; do
  wait $partie
  statut=$?
  kill -0 $partie 2>/dev/null || break
done
exit $statut
