#!/usr/bin/env bash
# Starts a command that opens the game's window, waits for the window, presses
# Escape as a player would, and exits with the game's own exit status.
# Needs a display (use scripts/sous-affichage.sh) and xdotool.
set -u
. "$(dirname "$0")/attente.sh"
"$@" &
jeu=$!
fenetre=""
for _ in $(seq 300); do
  fenetre=$(xdotool search --onlyvisible --name '^Corvella$' 2>/dev/null | head -1)
  [ -n "$fenetre" ] && break
  kill -0 $jeu 2>/dev/null || break
  sleep 0.1
done
if [ -z "$fenetre" ]; then
  echo "the game's window never appeared" >&2
  kill -9 $jeu 2>/dev/null
  wait $jeu 2>/dev/null
  exit 1
fi
if ! attendre_dessin "$fenetre"; then
  echo "the game drew nothing within 60 s" >&2
  kill -9 $jeu
  wait $jeu 2>/dev/null
  exit 1
fi
xdotool mousemove --window "$fenetre" 50 50
xdotool keydown Escape
xdotool keyup Escape
for _ in $(seq 100); do
  kill -0 $jeu 2>/dev/null || break
  sleep 0.1
done
if kill -0 $jeu 2>/dev/null; then
  echo "the game did not quit on Escape" >&2
  kill -9 $jeu
  wait $jeu 2>/dev/null
  exit 1
fi
wait $jeu
