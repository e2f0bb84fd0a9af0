#!/usr/bin/env bash
# Builds the game for the browser into build-web/site/: index.html, the
# program's .js and .wasm, and its data packaged in corvella.data; and the
# level editor beside it (editeur.html, corvella-editeur.js and .wasm, the
# same data). That folder
# is the whole product: copy it to any static web host.
#   ./scripts/web.sh            install what is missing, build
#   ./scripts/web.sh --serve    build, then serve the site on 127.0.0.1 (port printed)
#   ./scripts/web.sh --test     build, then run the page's tests in headless Chromium
#   ./scripts/web.sh --measure  build, then print the figures of BENCHMARKS.md
# The desktop build (build/, or $CORVELLA_CONSTRUCTION) makes the images and
# sounds that the page packages; the web build goes to build-web/ (or
# $CORVELLA_WEB).
set -eu
racine=$(cd "$(dirname "$0")/.." && pwd)
servir=0
tester=0
mesurer=0
for argument in "$@"; do
  case "$argument" in
    --serve) servir=1 ;;
    --test) tester=1 ;;
    --measure) mesurer=1 ;;
    *) echo "usage: $0 [--serve] [--test] [--measure]" >&2; exit 2 ;;
  esac
done

# Emscripten (Debian's, with its prebuilt system libraries), the Ogg Vorbis
# encoder for the music, and for the tests a headless browser and its driver.
paquets=(emscripten vorbis-tools python3)
if [ "$tester" -eq 1 ] || [ "$mesurer" -eq 1 ]; then paquets+=(chromium python3-websocket); fi
"$racine/scripts/dependances.sh" "${paquets[@]}"

# The tests and tools in Python leave no bytecode in the source tree.
export PYTHONDONTWRITEBYTECODE=1
natif=${CORVELLA_CONSTRUCTION:-$racine/build}
web=${CORVELLA_WEB:-$racine/build-web}
cibles=(images sons niveau)
[ "$tester" -eq 1 ] && cibles+=(corvella-carte corvella-image-figee corvella-relecture)
[ "$mesurer" -eq 1 ] && cibles+=(corvella-cadence-bureau)
cmake -S "$racine" -B "$natif" >/dev/null
cmake --build "$natif" -j"$(nproc)" --target "${cibles[@]}" >/dev/null

# The data as the page gets it (images recompressed, music in Ogg Vorbis).
/usr/bin/python3 "$racine/web/donnees.py" "$natif" "$web/donnees"

# Debian's emscripten: its system libraries are prebuilt in its own cache
# (EM_CACHE left alone), and its JavaScript optimiser needs Debian's node modules.
export NODE_PATH=/usr/share/nodejs
# emcc is not run through the compiler cache.
unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
emcmake cmake -S "$racine/web" -B "$web" -DCORVELLA_DONNEES="$web/donnees" -DCORVELLA_SITE="$web/site" >/dev/null
cmake --build "$web" -j"$(nproc)"
echo "The page: $web/site ($(du -sh "$web/site" | cut -f1))"

if [ "$tester" -eq 1 ]; then
  CORVELLA_CONSTRUCTION="$natif" CORVELLA_WEB="$web" \
    "$racine/scripts/sous-affichage.sh" /usr/bin/python3 "$racine/tests/web/test_page.py" -v
  CORVELLA_CONSTRUCTION="$natif" CORVELLA_WEB="$web" /usr/bin/python3 "$racine/tests/web/test_editeur.py" -v
fi
if [ "$mesurer" -eq 1 ]; then
  CORVELLA_CONSTRUCTION="$natif" CORVELLA_WEB="$web" CORVELLA_ECRAN=800x600x24 \
    "$racine/scripts/sous-affichage.sh" /usr/bin/python3 "$racine/tests/web/mesurer.py"
fi
if [ "$servir" -eq 1 ]; then
  exec /usr/bin/python3 "$racine/web/servir.py" "$web/site"
fi
