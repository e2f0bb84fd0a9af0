#!/usr/bin/env bash
# Runs the game's code under valgrind's memcheck: the logic tests, a subset of
# the drawing tests (under a virtual display when there is none), and a short
# game, started, left to draw, and quit with Escape. Any invalid read or
# write, use of uninitialised memory, bad free or definite leak fails the
# script; what lies in Mesa, LLVM, SDL and X is suppressed by
# tests/valgrind.supp (and only that).
#   scripts/valgrind.sh [logique] [rendu] [jeu]      (all three by default)
# The build is a plain one without sanitizers, in CORVELLA_CONSTRUCTION
# (default build-valgrind). Reports go to <build>/valgrind/. Expect some
# minutes: the drawing tests and the game run on llvmpipe, which valgrind
# slows down a great deal, hence the subset of drawing tests (set
# CORVELLA_VALGRIND_RENDU to another gtest filter to change it). Extra valgrind
# options go in VALGRIND_OPTS, e.g. --track-origins=yes.
set -u
racine=$(cd "$(dirname "$0")/.." && pwd)
construction=${CORVELLA_CONSTRUCTION:-$racine/build-valgrind}
parties=("$@")
[ ${#parties[@]} -eq 0 ] && parties=(logique rendu jeu)
rendu_filtre=${CORVELLA_VALGRIND_RENDU:-'Textures.*:Halo.*:Texte.*:FenetreOutils.*:RenduCarte.*:InterfaceHud.*'}

if [ -z "${CORVELLA_VALGRIND_AFFICHAGE:-}" ]; then
  "$racine/scripts/dependances.sh" || exit 1
  command -v valgrind >/dev/null || {
    if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends valgrind >/dev/null || exit 1
  }
  cmake -S "$racine" -B "$construction" -DCORVELLA_SANITIZERS=OFF >/dev/null || exit 1
  cmake --build "$construction" -j"$(nproc)" --target corvella tests_logique tests_rendu >/dev/null || exit 1
  export CORVELLA_VALGRIND_AFFICHAGE=1 CORVELLA_CONSTRUCTION="$construction"
  exec "$racine/scripts/sous-affichage.sh" "$0" "${parties[@]}"
fi

cd "$construction" || exit 1
rapports="$construction/valgrind"
mkdir -p "$rapports"
memcheck=(valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite
          --errors-for-leak-kinds=definite --error-exitcode=99 --num-callers=40
          --keep-debuginfo=yes --child-silent-after-fork=yes
          --suppressions="$racine/tests/valgrind.supp")
export CORVELLA_BINAIRE="$construction/corvella" CORVELLA_SOURCES="$racine"
echec=0

bilan() { # name, exit status, report
  local resume erreurs
  resume=$(grep -E 'ERROR SUMMARY|definitely lost:' "$3" | sed 's/^==[0-9]*== *//' | tr '\n' ' ')
  # Every process of the report (the program and any it forks) must be clean.
  erreurs=$(grep -E 'ERROR SUMMARY: [1-9]' "$3")
  if [ "$2" -eq 0 ] && [ -z "$erreurs" ]; then
    echo "$1: clean. $resume"
  else
    echo "$1: FAILED (exit $2). $resume  report: $3"
    grep -E -A25 'Invalid|uninitialised|definitely lost in|Mismatched|invalid free' "$3" | head -80
    echec=1
  fi
}

for partie in "${parties[@]}"; do
  debut=$(date +%s)
  case $partie in
    logique)
      "${memcheck[@]}" --log-file="$rapports/logique.txt" ./tests/tests_logique >"$rapports/logique.sortie" 2>&1
      bilan "tests_logique ($(($(date +%s) - debut)) s)" $? "$rapports/logique.txt"
      ;;
    rendu)
      "${memcheck[@]}" --log-file="$rapports/rendu.txt" ./tests/tests_rendu --gtest_filter="$rendu_filtre" \
        >"$rapports/rendu.sortie" 2>&1
      bilan "tests_rendu, $rendu_filtre ($(($(date +%s) - debut)) s)" $? "$rapports/rendu.txt"
      ;;
    jeu)
      "${memcheck[@]}" --log-file="$rapports/jeu.txt" ./corvella >"$rapports/jeu.sortie" 2>&1 &
      jeu=$!
      fenetre=""
      for _ in $(seq 1500); do # up to 300 s
        fenetre=$(xdotool search --all --onlyvisible --pid $jeu --name '^Corvella$' 2>/dev/null | head -1)
        [ -n "$fenetre" ] && break
        kill -0 $jeu 2>/dev/null || break
        sleep 0.2
      done
      statut=1
      if [ -n "$fenetre" ]; then
        # Loading every image takes a while under valgrind: the window comes
        # first, the frames later. Wait until the window is no longer black.
        for _ in $(seq 600); do
          import -window "$fenetre" "$rapports/ecran.png" 2>/dev/null
          moyenne=$(convert "$rapports/ecran.png" -format '%[fx:int(255*mean)]' info: 2>/dev/null)
          [ "${moyenne:-0}" -gt 5 ] && break
          kill -0 $jeu 2>/dev/null || break
          sleep 1
        done
        sleep 10 # some frames, a few hundred movement steps
        xdotool mousemove --window "$fenetre" 50 50
        xdotool keydown Escape
        xdotool keyup Escape
        for _ in $(seq 600); do kill -0 $jeu 2>/dev/null || break; sleep 1; done
        if kill -0 $jeu 2>/dev/null; then
          kill -9 $jeu
          echo "the game did not quit on Escape under valgrind" >&2
        fi
        wait $jeu
        statut=$?
      else
        echo "the game's window never appeared under valgrind" >&2
        kill -9 $jeu 2>/dev/null
        wait $jeu 2>/dev/null
      fi
      bilan "the game ($(($(date +%s) - debut)) s)" $statut "$rapports/jeu.txt"
      ;;
    *)
      echo "unknown part: $partie (logique, rendu or jeu)" >&2
      exit 2
      ;;
  esac
done
exit $echec
