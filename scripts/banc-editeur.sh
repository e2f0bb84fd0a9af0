#!/usr/bin/env bash
# The level editor's speed (see BENCHMARKS.md): opening a 1000 x 1000 level,
# the editor's frame at 1920 x 1080 (1:1, scrolling, the whole level in view)
# against the game's frame on the shipped level in the same window, for the
# shipped level and for the large one. Builds the editor if needed.
set -eu
racine=$(cd "$(dirname "$0")/.." && pwd)
construction=${CORVELLA_CONSTRUCTION:-$racine/build}
cmake --build "$construction" -j2 --target corvella-editeur >/dev/null
grand=$(mktemp --suffix=.map)
trap 'rm -f "$grand"' EXIT
# 1000 x 1000 cells: a box of walls, earth, grass, water and bonuses scattered
# by a fixed linear congruential sequence (the same level every run).
awk 'BEGIN {
  n = 1000; x = 12345; t = "BbCaAvVtT 12345678";
  print "A large level\n[Infos]\nHauteur=" n "\nLargeur=" n "\nPosDebutX=2\nPosDebutY=2\n[Map]";
  for (r = 0; r < n; r++) {
    if (r == 0 || r == n - 1) { l = ""; for (c = 0; c < n; c++) l = l "b"; print l; continue }
    l = "m";
    for (c = 1; c < n - 1; c++) {
      x = (x * 1103515245 + 12345) % 2147483648;
      k = int(x / 65536) % 100;
      l = l (k < 40 ? substr(t, k % length(t) + 1, 1) : " ");
    }
    print l "M";
  }
}' > "$grand"
cd "$construction"
for niveau in Data/Maps/Map1.map "$grand"; do
  echo "== $(basename "$niveau")"
  CORVELLA_ECRAN=1920x1080x24 DISPLAY= "$racine/scripts/sous-affichage.sh" \
    ./corvella-editeur --mesurer "$niveau" 2>/dev/null
done
