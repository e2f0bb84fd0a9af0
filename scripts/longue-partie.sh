#!/usr/bin/env bash
# A long game: the real game, built with AddressSanitizer and
# UndefinedBehaviorSanitizer, played under a display for DURATION seconds with
# random presses of the arrow keys and P (xdotool, the pointer over the
# window), its resident memory sampled every few seconds; then Escape.
#   scripts/longue-partie.sh [DURATION_SECONDS]      (default 600)
# Passes when the game exits with status 0, nothing from the sanitizers shows
# on its error output, and its resident memory does not grow after start-up:
# the median of the last third of the samples may exceed the median of the
# samples that follow the warm-up (the first sixth, at least 10 s) by at most
# 16 MB + 5 %. Prints the samples and the figures: duration, frames drawn (the
# buffer swaps, counted by a small preloaded library that changes nothing
# else), key events the game received, movement steps (estimated: one per 5 ms
# of play outside the pauses), peak and final resident memory.
# The build folder is CORVELLA_CONSTRUCTION (default build-asan, the one the
# CI's sanitizer step makes); it is configured and built when needed. The
# random sequence is CORVELLA_GRAINE (default: the current time), printed.
set -u
racine=$(cd "$(dirname "$0")/.." && pwd)
duree=${1:-600}
construction=${CORVELLA_CONSTRUCTION:-$racine/build-asan}
travail="$construction/longue-partie"

if [ -z "${CORVELLA_LONGUE_PARTIE_AFFICHAGE:-}" ]; then
  "$racine/scripts/dependances.sh" || exit 1
  cmake -S "$racine" -B "$construction" -DCORVELLA_SANITIZERS=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null || exit 1
  cmake --build "$construction" -j"$(nproc)" --target corvella >/dev/null || exit 1
  mkdir -p "$travail"
  # Counts the frames (buffer swaps) and the key events the game reads, and
  # writes them when the process ends. Everything is passed on unchanged.
  cat >"$travail/compteurs.c" <<'FIN'
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>

static unsigned long images, touches;

void SDL_GL_SwapBuffers(void)
{
    static void (*suivant)(void);
    if (!suivant)
        suivant = (void (*)(void))dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers");
    ++images;
    suivant();
}

int SDL_PollEvent(void* evenement)
{
    static int (*suivant)(void*);
    if (!suivant)
        suivant = (int (*)(void*))dlsym(RTLD_NEXT, "SDL_PollEvent");
    const int r = suivant(evenement);
    /* SDL 1.2: the type is the event's first byte; 2 is a key press. */
    if (r == 1 && evenement && *(const unsigned char*)evenement == 2)
        ++touches;
    return r;
}

__attribute__((destructor)) static void ecrire(void)
{
    const char* chemin = getenv("CORVELLA_COMPTEURS");
    FILE* f = chemin ? fopen(chemin, "w") : NULL;
    if (f) {
        fprintf(f, "%lu %lu\n", images, touches);
        fclose(f);
    }
}
FIN
  cc -shared -fPIC -O2 -o "$travail/compteurs.so" "$travail/compteurs.c" -ldl || exit 1
  export CORVELLA_LONGUE_PARTIE_AFFICHAGE=1 CORVELLA_CONSTRUCTION="$construction"
  exec "$racine/scripts/sous-affichage.sh" "$0" "$duree"
fi

# From here on there is a display.
graine=${CORVELLA_GRAINE:-$(date +%s)}
RANDOM=$graine
cd "$construction" || exit 1
erreurs="$travail/erreurs.txt"
echantillons="$travail/memoire.txt"
compteurs="$travail/compteurs.txt"
rm -f "$erreurs" "$echantillons" "$compteurs"

# Leaks are not checked here: SDL_Quit unloads Mesa's driver before the check
# runs (see the game tests); the game's own memory is checked under valgrind.
# A small quarantine keeps freed memory from counting as resident for long.
ASAN_OPTIONS="detect_leaks=0:quarantine_size_mb=16:verify_asan_link_order=0" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
CORVELLA_COMPTEURS="$compteurs" LD_PRELOAD="$travail/compteurs.so" \
  ./corvella 2>"$erreurs" &
jeu=$!
debut=$(date +%s.%N)

finir() {
  echo "longue-partie: $*" >&2
  kill -9 $jeu 2>/dev/null
  wait $jeu 2>/dev/null
  [ -s "$erreurs" ] && tail -40 "$erreurs" >&2
  exit 1
}

# The window, searched again and again (xdotool's --sync gives up when
# another window vanishes while it looks).
fenetre=""
for _ in $(seq 600); do
  fenetre=$(xdotool search --all --onlyvisible --pid $jeu --name '^Corvella$' 2>/dev/null | head -1)
  [ -n "$fenetre" ] && break
  kill -0 $jeu 2>/dev/null || break
  sleep 0.1
done
[ -n "$fenetre" ] || finir "the game's window never appeared"
xdotool mousemove --window "$fenetre" 50 50

# Resident memory every 2 s while the game runs: "seconds kB".
(
  while kill -0 $jeu 2>/dev/null; do
    rss=$(awk '/^VmRSS:/ {print $2}' /proc/$jeu/status 2>/dev/null)
    [ -n "$rss" ] && echo "$(awk -v d="$debut" -v n="$(date +%s.%N)" 'BEGIN {printf "%.1f", n - d}') $rss" >>"$echantillons"
    sleep 2
  done
) &
echantillonneur=$!

maintenant() { awk -v d="$debut" -v n="$(date +%s.%N)" 'BEGIN {printf "%.3f", n - d}'; }
fleches=(Left Right Up Down)
envoyees=0
pauses=0
en_pause=0
debut_pause=0
temps_pause=0
fin=$(awk -v d="$duree" 'BEGIN {print d + 0}')
while :; do
  t=$(maintenant)
  awk -v t="$t" -v f="$fin" 'BEGIN {exit !(t < f)}' || break
  kill -0 $jeu 2>/dev/null || finir "the game ended during the run"
  xdotool mousemove --window "$fenetre" 50 50 2>/dev/null
  choix=$((RANDOM % 20))
  if [ $choix -eq 0 ] || [ $en_pause -eq 1 ]; then
    # P toggles the pause on release; a pause lasts 0.3 to 2 s.
    xdotool key p
    pauses=$((pauses + 1))
    if [ $en_pause -eq 0 ]; then
      en_pause=1
      debut_pause=$(maintenant)
      sleep "0.$((3 + RANDOM % 7))$((RANDOM % 10))"
      [ $((RANDOM % 3)) -eq 0 ] && sleep 1
    else
      en_pause=0
      temps_pause=$(awk -v a="$temps_pause" -v d="$debut_pause" -v n="$(maintenant)" 'BEGIN {print a + n - d}')
    fi
    continue
  fi
  # One or two arrow keys held together for 0.05 to 1.5 s.
  k1=${fleches[$((RANDOM % 4))]}
  touches=("$k1")
  [ $((RANDOM % 3)) -eq 0 ] && touches+=("${fleches[$((RANDOM % 4))]}")
  for k in "${touches[@]}"; do xdotool keydown "$k"; envoyees=$((envoyees + 1)); done
  sleep "$((RANDOM % 2)).$((RANDOM % 10))$((5 + RANDOM % 5))"
  for k in "${touches[@]}"; do xdotool keyup "$k"; done
  [ $((RANDOM % 4)) -eq 0 ] && sleep "0.$((RANDOM % 10))"
done
if [ $en_pause -eq 1 ]; then
  xdotool key p
  temps_pause=$(awk -v a="$temps_pause" -v d="$debut_pause" -v n="$(maintenant)" 'BEGIN {print a + n - d}')
fi
joue=$(maintenant)

sleep 2 # a last sample
xdotool mousemove --window "$fenetre" 50 50
xdotool keydown Escape
xdotool keyup Escape
statut=""
for _ in $(seq 300); do
  if ! kill -0 $jeu 2>/dev/null; then
    wait $jeu
    statut=$?
    break
  fi
  sleep 0.1
done
[ -n "$statut" ] || finir "the game did not quit on Escape"
wait $echantillonneur 2>/dev/null

echec=0
echo "seed: $graine"
echo "resident memory (s kB):"
awk '{printf "  %7s %8s", $1, $2; if (NR % 5 == 0) printf "\n"} END {if (NR % 5) printf "\n"}' "$echantillons"
read -r images touches_recues <"$compteurs" 2>/dev/null || { images="?"; touches_recues="?"; }
awk -v duree="$joue" -v pause="$temps_pause" -v images="$images" -v recues="$touches_recues" \
    -v envoyees="$envoyees" -v pauses="$pauses" '
  { t[NR] = $1; m[NR] = $2; if ($2 > pic) pic = $2; dernier = $2 }
  function mediane(a, b,    n, i, j, v, x) {
    n = 0
    for (i = a; i <= b; i++) v[++n] = m[i]
    for (i = 2; i <= n; i++) { x = v[i]; for (j = i - 1; j >= 1 && v[j] > x; j--) v[j + 1] = v[j]; v[j + 1] = x }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  END {
    # Warm-up: the first sixth of the run, at least 10 s.
    chauffe = duree / 6; if (chauffe < 10) chauffe = 10
    for (i = 1; i <= NR && t[i] < chauffe; i++) ;
    debut = i
    tiers = int((NR - debut + 1) / 3); if (tiers < 1) tiers = 1
    base = mediane(debut, debut + tiers - 1)
    fin = mediane(NR - tiers + 1, NR)
    tolerance = 16384 + base * 0.05
    printf "duration: %.0f s played (%.0f s paused, %d presses of P)\n", duree, pause, pauses
    if (images != "?")
      printf "frames drawn: %d (%.0f per second)\n", images, images / duree
    printf "key presses: %d sent, %s received by the game (keyboard repeat included)\n", envoyees, recues
    printf "movement steps: at most about %d (one per 5 ms of play outside the pauses; none while the character is dead)\n", (duree - pause) * 200
    printf "resident memory: peak %.1f MB, final %.1f MB; after warm-up %.1f MB, last third %.1f MB (tolerance +%.1f MB)\n",
      pic / 1024, dernier / 1024, base / 1024, fin / 1024, tolerance / 1024
    if (NR < 4) { print "too few memory samples"; exit 2 }
    if (fin > base + tolerance) { print "the resident memory grows"; exit 1 }
  }' "$echantillons" || echec=1

if [ "$statut" -ne 0 ]; then
  echo "the game exited with status $statut" >&2
  echec=1
fi
if grep -qE 'AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|runtime error:' "$erreurs"; then
  echo "sanitizer report on the game's error output:" >&2
  head -60 "$erreurs" >&2
  echec=1
fi
[ "$touches_recues" = "0" ] && { echo "the game received no key press" >&2; echec=1; }
[ $echec -eq 0 ] && echo "long run passed"
exit $echec
