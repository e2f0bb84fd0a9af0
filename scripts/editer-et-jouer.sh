#!/usr/bin/env bash
# The installed editor and game as a designer uses them, in a fresh home
# folder: the editor makes the designer's copy of the level, a click paints a
# cell, ctrl + s saves it, ctrl + q quits; then the installed game plays that
# copy (it runs in the copy's folder). Needs a display (scripts/sous-affichage.sh)
# and xdotool.
# Usage: editer-et-jouer.sh EDITOR_LAUNCHER GAME_LAUNCHER INSTALLED_MAP
set -u
. "$(dirname "$0")/attente.sh"
editeur=$1
jeu=$2
installe=$3
maison=$(mktemp -d)
trap 'rm -rf "$maison"' EXIT
export HOME="$maison"
unset XDG_DATA_HOME
dossier="$HOME/.local/share/corvella"
copie="$dossier/Data/Maps/Map1.map"

echec() {
  echo "editer-et-jouer: $*" >&2
  exit 1
}

# Polls for a window whose title matches, while the process lives.
fenetre_de() {
  local pid=$1 motif=$2 f=""
  for _ in $(seq 300); do
    f=$(xdotool search --onlyvisible --name "$motif" 2>/dev/null | head -1)
    [ -n "$f" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "$f"
}

attendre_fin() {
  local pid=$1
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -9 "$pid"
    wait "$pid" 2>/dev/null
    return 1
  fi
  wait "$pid"
}

"$editeur" &
pid=$!
f=$(fenetre_de $pid '^Corvella editor')
[ -n "$f" ] || echec "the editor's window never appeared"
[ -f "$copie" ] || echec "no copy of the level in $dossier"
cmp -s "$copie" "$installe" || echec "the first copy differs from the installed level"
for d in Images Sons; do
  [ -d "$dossier/$d" ] || echec "the copy's folder has no $d of the installed game"
done
attendre_dessin "$f" || echec "the editor drew nothing within 60 s"
# Column 6, row 4: an empty cell of the shipped level, grass chosen; the
# title's unsaved mark shows the cell painted.
xdotool mousemove --window "$f" 352 224 click 1
attendre_titre "$f" " *" || echec "no unsaved mark in the title after painting"
xdotool key ctrl+s
for _ in $(seq 100); do
  cmp -s "$copie" "$installe" || break
  sleep 0.1
done
xdotool key ctrl+q
attendre_fin $pid || echec "the editor did not quit after saving"
differences=$(cmp -l "$copie" "$installe" | wc -l)
[ "$differences" = 1 ] || echec "the saved copy differs from the installed level by $differences bytes, not 1"
echo "edited and saved $copie"

"$jeu" &
pid=$!
f=$(fenetre_de $pid '^Corvella$')
[ -n "$f" ] || echec "the game's window never appeared"
lieu=$(readlink "/proc/$pid/cwd")
[ "$lieu" = "$dossier" ] || echec "the game plays in $lieu, not in the copy's folder $dossier"
attendre_dessin "$f" || echec "the game drew nothing within 60 s"
xdotool mousemove --window "$f" 50 50 key Escape
attendre_fin $pid || echec "the game did not quit on Escape"
echo "the installed game played the edited copy"
