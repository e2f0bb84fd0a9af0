#!/usr/bin/env bash
# Builds the Debian package, installs it (with apt-get as root, otherwise
# unpacked into a scratch root), and starts the installed game from another
# folder under a display, quitting it with Escape: exit status 0 expected.
# Then, as a designer in a fresh home folder, edits and saves the level with
# the installed editor and plays the edited copy with the installed game; the
# installed files are never written.
set -eu
racine=$(cd "$(dirname "$0")/.." && pwd)
construction=${CORVELLA_CONSTRUCTION:-$racine/build-paquet}
"$racine/scripts/dependances.sh"
if ! command -v dpkg-shlibdeps >/dev/null || ! command -v fakeroot >/dev/null; then
  if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends dpkg-dev fakeroot file >/dev/null
fi
CORVELLA_CONSTRUCTION="$construction" "$racine/scripts/construire.sh" -DCORVELLA_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
(cd "$construction" && rm -f corvella_*.deb && cpack -G DEB >/dev/null)
paquet=$(ls "$construction"/corvella_*.deb)
echo "package: $(basename "$paquet")"
dpkg-deb --info "$paquet" | sed -n 's/^ *Depends:/depends:/p'

ailleurs=$(mktemp -d)
trap 'rm -rf "$ailleurs"' EXIT
if [ "$(id -u)" -eq 0 ] && [ "${CORVELLA_PAQUET_RACINE:-}" = "" ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$paquet" >/dev/null
  lanceur=$(command -v corvella)
else
  dpkg-deb -x "$paquet" "$ailleurs/racine"
  lanceur="$ailleurs/racine/usr/bin/corvella"
fi
echo "launcher: $lanceur"
cd "$ailleurs"
"$racine/scripts/sous-affichage.sh" "$racine/scripts/lancer-et-quitter.sh" "$lanceur"
echo "the installed game started from $(pwd) and quit with status 0"

installe="$(dirname "$lanceur")/../share/corvella"
temoin="$ailleurs/temoin"
touch "$temoin"
sleep 1 # a write after this shows as newer than the stamp
"$racine/scripts/sous-affichage.sh" "$racine/scripts/editer-et-jouer.sh" \
  "$(dirname "$lanceur")/corvella-editeur" "$lanceur" "$installe/Data/Maps/Map1.map"
ecrits=$(find "$(readlink -f "$installe")" -newer "$temoin" | head -5)
if [ -n "$ecrits" ]; then
  echo "the installed files were written: $ecrits" >&2
  exit 1
fi
cmp -s "$installe/Data/Maps/Map1.map" "$racine/Data/Maps/Map1.map" || { echo "the installed level changed" >&2; exit 1; }
echo "the installed files are as installed"
