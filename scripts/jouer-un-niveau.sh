#!/usr/bin/env bash
# `corvella FILE` as a player uses it, in a fresh home folder: files that are
# not levels are refused before any window opens; the shipped level and then
# a level from another folder are played, each screen taken once the fade-in is
# over; the other level's screen must differ from the shipped level's, the game
# must run in a working folder of its own under $XDG_RUNTIME_DIR, and that
# folder must be gone when the game has quit. Needs a display
# (scripts/sous-affichage.sh), xdotool and ImageMagick. The two screens are
# copied to $CORVELLA_CAPTURES when it names a folder.
# Usage: jouer-un-niveau.sh GAME_LAUNCHER
set -u
jeu=$1
racine=$(mktemp -d)
trap 'rm -rf "$racine"' EXIT
export HOME="$racine/maison" XDG_RUNTIME_DIR="$racine/execution"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$racine/ailleurs"
chmod 700 "$XDG_RUNTIME_DIR"
unset XDG_DATA_HOME

echec() {
  echo "jouer-un-niveau: $*" >&2
  exit 1
}

# Files that are not levels: a message, a non-zero status, no window, no
# working folder left.
printf 'not a level\n[Section]\n' > "$racine/ailleurs/texte.map"
mkdir "$racine/ailleurs/dossier.map"
truncate -s 17M "$racine/ailleurs/enorme.map"
printf '[Infos]\n' | dd of="$racine/ailleurs/enorme.map" conv=notrunc status=none
for f in texte.map dossier.map enorme.map absent.map; do
  if message=$(timeout 10 "$jeu" "$racine/ailleurs/$f" 2>&1); then
    echec "corvella $f started"
  fi
  [ -n "$message" ] || echec "corvella $f failed without a message"
  echo "refused $f: $message"
done
restes() {
  find "$XDG_RUNTIME_DIR" -mindepth 1 -maxdepth 1 -name 'corvella*'
}
[ -z "$(restes)" ] || echec "a refused file left a working folder: $(restes)"

# A small level of its own: a pool between stone walls under the start.
cat > "$racine/ailleurs/bassin.map" <<'EOF'
A level sent by a friend
[Infos]
Hauteur=8
Largeur=12
PosDebutX=3
PosDebutY=4
[Map]
mmmmmmmmmmmm
m          m
m          m
m          m
m  8    1  m
mBBBCCCCBBBm
mbbbCCCCbbbm
mmmmmmmmmmmm
EOF

# The mean grey of the screen, 0 to 1.
gris() {
  convert "$1" -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null
}

# Plays with the given arguments, takes the screen once it has stopped
# changing after the fade-in (two pictures 0.4 s apart with the same mean
# grey), checks where the game runs, quits with Escape.
# Sets $dossier_partie (the game's working folder).
jouer() {
  local image=$1
  shift
  "$jeu" "$@" &
  local lanceur=$! f="" partie="" avant=-1 maintenant=0
  for _ in $(seq 300); do
    f=$(xdotool search --onlyvisible --name '^Corvella$' 2>/dev/null | head -1)
    [ -n "$f" ] && break
    kill -0 $lanceur 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$f" ] || echec "the game's window never appeared ($*)"
  for _ in $(seq 75); do
    import -window root "$image" 2>/dev/null || continue
    maintenant=$(gris "$image")
    if awk -v a="$avant" -v b="$maintenant" 'BEGIN { d = a - b; exit !(b > 0.05 && d < 0.002 && d > -0.002) }'; then
      break
    fi
    avant=$maintenant
    sleep 0.4
  done
  awk -v b="${maintenant:-0}" 'BEGIN { exit !(b > 0.05) }' || echec "the screen stayed black ($*)"
  partie=$(pgrep -P $lanceur | head -1)
  dossier_partie=$(readlink "/proc/${partie:-$lanceur}/cwd")
  xdotool mousemove --window "$f" 50 50 key Escape
  for _ in $(seq 100); do
    kill -0 $lanceur 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 $lanceur 2>/dev/null; then
    kill -9 $lanceur
    echec "the game did not quit on Escape ($*)"
  fi
  wait $lanceur || echec "the game ended with status $? ($*)"
}

jouer "$racine/livre.png"
echo "the shipped level played in $dossier_partie"
jouer "$racine/bassin.png" "$racine/ailleurs/bassin.map"
case "$dossier_partie" in
  "$XDG_RUNTIME_DIR"/corvella.*) ;;
  *) echec "corvella FILE played in $dossier_partie, not in a folder of its own under $XDG_RUNTIME_DIR" ;;
esac
echo "the other level played in $dossier_partie"
[ ! -e "$dossier_partie" ] || echec "the working folder $dossier_partie is still there"
[ -z "$(restes)" ] || echec "working folders left behind: $(restes)"
[ ! -e "$HOME/.local/share/corvella" ] || echec "corvella FILE made a copy of the level in the home folder"

# The two screens: the share of pixels that differ by more than 10 %.
total=$(identify -format '%[fx:w*h]' "$racine/livre.png")
differents=$(compare -metric AE -fuzz 10% "$racine/livre.png" "$racine/bassin.png" null: 2>&1 | cut -d' ' -f1)
part=$(awk -v d="$differents" -v t="$total" 'BEGIN { printf "%.0f", 100 * d / t }')
echo "the other level's screen differs from the shipped level's in $part % of its pixels"
[ "$part" -ge 20 ] || echec "the other level's screen is too close to the shipped level's ($part %)"
if [ -n "${CORVELLA_CAPTURES:-}" ]; then
  cp "$racine/livre.png" "$racine/bassin.png" "$CORVELLA_CAPTURES/"
fi
