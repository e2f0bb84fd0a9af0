#!/usr/bin/env bash
# The Debian package, built and checked as Debian and the desktops check it:
# lintian (errors and warnings fail), appstreamcli, desktop-file-validate, each
# manual page through man and against its program's --help. Then installed
# (with apt-get as root, otherwise unpacked into a scratch root): the desktop
# knows level files (xdg-mime) and opens them with the game, the thumbnailer
# draws them at the asked size; the installed game starts from another folder
# and quits with Escape, plays a level file from another folder in a working
# folder of its own and removes it; as a designer in a fresh home folder, the
# installed editor edits and saves the level and the game plays the edited
# copy; the installed files are never written.
set -eu
racine=$(cd "$(dirname "$0")/.." && pwd)
construction=${CORVELLA_CONSTRUCTION:-$racine/build-paquet}
debut=$(date +%s)
etape() { echo "-- $1 (at $(( $(date +%s) - debut )) s)"; }
echec() {
  echo "tester-paquet: $*" >&2
  exit 1
}

etape "tools"
# mimetype (File::MimeInfo) answers xdg-mime without a desktop session, gio under GNOME.
"$racine/scripts/dependances.sh" dpkg-dev fakeroot file lintian appstream desktop-file-utils \
  shared-mime-info xdg-utils libfile-mimeinfo-perl libglib2.0-bin man-db procps

etape "build (Release) and cpack -G DEB"
CORVELLA_CONSTRUCTION="$construction" "$racine/scripts/construire.sh" -DCORVELLA_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
(cd "$construction" && rm -rf corvella_*.deb symboles && cpack -G DEB >/dev/null)
paquet=$(ls "$construction"/corvella_*.deb)
echo "package: $(basename "$paquet")"
dpkg-deb --info "$paquet" | sed -n 's/^ *Depends:/depends:/p'

etape "lintian"
# Informational tags are listed too; the README says why each one stays.
lintian --display-info --fail-on error,warning "$paquet" || echec "lintian found errors or warnings"
echo "lintian: no error, no warning"

ailleurs=$(mktemp -d)
trap 'rm -rf "$ailleurs"' EXIT
dpkg-deb -x "$paquet" "$ailleurs/deballe"
usr="$ailleurs/deballe/usr"

# Each program in the package is stripped, and its symbols are in the build
# folder under its build id.
for f in $(find "$usr" -type f -exec sh -c 'head -c 4 "$1" | grep -q ELF' sh {} \; -print); do
  id=$(readelf -n "$f" | sed -n 's/.*Build ID: //p')
  [ -f "$construction/symboles/.build-id/${id:0:2}/${id:2}.debug" ] || echec "no symbols kept for ${f#$usr/}"
  ! readelf -S "$f" | grep -q '\.symtab' || echec "${f#$usr/} is not stripped"
  echo "${f#$usr/}: stripped, symbols in symboles/.build-id/${id:0:2}/${id:2}.debug"
done

etape "appstreamcli, desktop-file-validate, man"
metainfo="$usr/share/metainfo/example.corvella.Corvella.metainfo.xml"
sortie=$(appstreamcli validate --no-net "$metainfo" 2>&1) || { echo "$sortie"; echec "appstreamcli refuses the metadata"; }
echo "$sortie"
! echo "$sortie" | grep -qE '^[EW]:' || echec "appstreamcli warns about the metadata"
for entree in "$usr"/share/applications/*.desktop; do
  desktop-file-validate "$entree" || echec "desktop-file-validate refuses $(basename "$entree")"
  echo "desktop-file-validate: $(basename "$entree") valid"
done
for page in "$usr"/share/man/man6/*.6.gz; do
  avertissements=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$avertissements" ] || echec "man warns about $(basename "$page"): $avertissements"
  lignes=$(MANWIDTH=80 man -l "$page" 2>/dev/null | wc -l)
  [ "$lignes" -gt 20 ] || echec "man shows $(basename "$page") in $lignes lines"
  echo "man -l $(basename "$page"): $lignes lines, no warning"
done

etape "install"
if [ "$(id -u)" -eq 0 ] && [ "${CORVELLA_PAQUET_RACINE:-}" = "" ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall "$paquet" >/dev/null
  prefixe=/usr
  # dpkg's triggers (shared-mime-info, desktop-file-utils) updated the databases.
  [ -f /usr/share/mime/application/x-corvella-level.xml ] || echec "the MIME database does not know the level type"
  grep -q "^application/x-corvella-level=" /usr/share/applications/mimeinfo.cache ||
    echec "the desktop database does not know what opens levels"
  donnees_xdg=/usr/share
else
  # What the triggers do, by hand, on the unpacked tree.
  prefixe="$usr"
  update-mime-database "$usr/share/mime" 2>/dev/null # not in the search path: it says so
  update-desktop-database "$usr/share/applications"
  donnees_xdg="$usr/share:/usr/share"
fi
lanceur="$prefixe/games/corvella"
installe="$prefixe/share/corvella"
echo "launcher: $lanceur"
export HOME="$ailleurs/maison"
mkdir -p "$HOME"

etape "manual pages and --help"
manuels="$prefixe/share/man"
if [ ! -e "$manuels/man6/corvella.6.gz" ] && grep -rqs '^path-exclude.*/usr/share/man' /etc/dpkg/dpkg.cfg.d; then
  echo "dpkg is set to leave manual pages out (/etc/dpkg/dpkg.cfg.d): the unpacked pages are read instead"
  manuels="$usr/share/man"
fi
MANPATH="$manuels" man -w corvella | grep -q "man6/corvella.6" || echec "man does not find corvella(6)"
LC_ALL=C MANPATH="$manuels" MANWIDTH=80 man corvella 2>/dev/null | grep -q "corvella - a small side-scrolling platform game" ||
  echec "man corvella does not show the page"
sh "$racine/paquet/manuels-et-aide.sh" \
  "$manuels/man6/corvella.6.gz" "$prefixe/games/corvella" \
  "$manuels/man6/corvella-editeur.6.gz" "$prefixe/games/corvella-editeur" \
  "$manuels/man6/corvella-carte.6.gz" "$prefixe/games/corvella-carte"

etape "level files on the desktop"
niveaux="$ailleurs/niveaux"
mkdir -p "$niveaux"
cp "$installe/Data/Maps/Map1.map" "$niveaux/avec-titre.map"
sed -n '/^\[Infos\]/,$p' "$installe/Data/Maps/Map1.map" > "$niveaux/sans-titre.map"
printf 'Linker map of a program\n.text 0x1000 main.o\n' > "$niveaux/autre.map"
for bureau in "" GNOME; do
  for f in avec-titre sans-titre autre; do
    type=$(env -u DESKTOP_SESSION -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID XDG_CURRENT_DESKTOP="$bureau" \
           XDG_DATA_DIRS="$donnees_xdg" xdg-mime query filetype "$niveaux/$f.map")
    echo "xdg-mime query filetype $f.map (desktop: ${bureau:-none}): $type"
    case "$f:$type" in
      autre:application/x-corvella-level) echec "another program's .map file is taken for a level" ;;
      autre:*) ;;
      *:application/x-corvella-level) ;;
      *) echec "$f.map is not known as a level" ;;
    esac
  done
done
defaut=$(XDG_DATA_DIRS="$donnees_xdg" xdg-mime query default application/x-corvella-level)
echo "xdg-mime query default application/x-corvella-level: $defaut"
[ "$defaut" = example.corvella.Corvella.desktop ] || echec "levels do not open with the game by default"

etape "thumbnailer"
vignette="$prefixe/share/thumbnailers/corvella.thumbnailer"
commande=$(sed -n 's/^Exec=//p' "$vignette")
if [ "$prefixe" != /usr ]; then
  commande=${commande//\/usr\//$prefixe/} # the unpacked tree in place of /usr
fi
grep -q "^MimeType=application/x-corvella-level;" "$vignette" || echec "the thumbnailer does not name the level type"
vignetter() { # SIZE INPUT OUTPUT, as a file manager runs the command line
  local c=${commande//%s/$1}
  c=${c//%i/\'$2\'}
  c=${c//%o/\'$3\'}
  timeout 20 sh -c "$c"
}
for taille in 128 256; do
  vignetter $taille "$installe/Data/Maps/Map1.map" "$ailleurs/vignette-$taille.png" ||
    echec "the thumbnailer failed at $taille"
  dimensions=$(identify -format '%w %h' "$ailleurs/vignette-$taille.png")
  echo "thumbnail at $taille: $dimensions"
  set -- $dimensions
  [ "$(( $1 > $2 ? $1 : $2 ))" = $taille ] || echec "the thumbnail is $1 x $2, not $taille on its longer side"
done
truncate -s 17M "$niveaux/enorme.map"
for f in "$niveaux/autre.map" "$niveaux/enorme.map" "$niveaux" /nonexistent.map; do
  if vignetter 128 "$f" "$ailleurs/rien.png" 2>/dev/null; then
    echec "the thumbnailer drew $f"
  fi
  [ ! -e "$ailleurs/rien.png" ] || echec "the thumbnailer wrote a picture of $f"
done
echo "the thumbnailer draws nothing, quietly, for what is not a level it can draw"

# The menu's entries: their command lines, run as a desktop runs them (the
# file's field code given the arguments, the session's PATH with the games).
menu() { # ENTRY NAME
  local ligne
  ligne=$(sed -n 's/^Exec=//p' "$prefixe/share/applications/$1")
  case "$ligne" in
    *" %f") ;;
    *) echec "$1 does not take a file: Exec=$ligne" ;;
  esac
  printf '#!/bin/sh\nPATH="%s:$PATH"\nexec %s "$@"\n' "$prefixe/games" "${ligne% %f}" > "$ailleurs/$2"
  chmod +x "$ailleurs/$2"
}
menu example.corvella.Corvella.desktop menu-corvella
menu example.corvella.CorvellaEditeur.desktop menu-corvella-editeur

etape "play from another folder, from the menu's entry"
cd "$ailleurs"
"$racine/scripts/sous-affichage.sh" "$racine/scripts/lancer-et-quitter.sh" "$ailleurs/menu-corvella"
echo "the installed game started from $(pwd) and quit with status 0"

etape "corvella FILE, from the menu's entry"
"$racine/scripts/sous-affichage.sh" "$racine/scripts/jouer-un-niveau.sh" "$ailleurs/menu-corvella"

etape "edit (from the menu's entry) and play as a designer"
temoin="$ailleurs/temoin"
touch "$temoin"
sleep 1 # a write after this shows as newer than the stamp
"$racine/scripts/sous-affichage.sh" "$racine/scripts/editer-et-jouer.sh" \
  "$ailleurs/menu-corvella-editeur" "$lanceur" "$installe/Data/Maps/Map1.map"
ecrits=$(find "$(readlink -f "$installe")" -newer "$temoin" | head -5)
if [ -n "$ecrits" ]; then
  echec "the installed files were written: $ecrits"
fi
cmp -s "$installe/Data/Maps/Map1.map" "$racine/Data/Maps/Map1.map" || echec "the installed level changed"
echo "the installed files are as installed"
etape "done"
