#!/bin/sh
# Starts the level editor (the program under libexec/corvella/) on the
# designer's own copy of the level (see dossier-utilisateur.sh), made from the
# installed level on first use; the installed files are never written. A FILE
# given on the command line is edited instead, found from the folder the editor
# was started in.
ici=$(dirname "$(readlink -f "$0")")
donnees="$ici/../share/corvella"
editeur="$ici/../libexec/corvella/corvella-editeur"
if [ ! -d "$donnees/Images" ]; then
  echo "corvella-editeur: cannot find the game's data in $donnees" >&2
  exit 1
fi
case "${1:-}" in
  --help|-h) exec "$editeur" "$1" ;; # no copy of the level made for the help
esac
. "$donnees/dossier-utilisateur.sh"
if ! preparer_copie; then
  echo "corvella-editeur: cannot make your copy of the level in ${utilisateur:-your home folder}" >&2
  exit 1
fi
if [ $# -ge 1 ]; then
  case "$1" in
    -*|/*) ;;
    *) premier="$PWD/$1"; shift; set -- "$premier" "$@" ;;
  esac
fi
cd "$utilisateur" || exit 1
exec "$editeur" "$@"
