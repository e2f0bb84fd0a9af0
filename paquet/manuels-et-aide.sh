#!/bin/sh
# Keeps the manual pages in step with the programs: for each PAGE and PROGRAM,
# the options that `PROGRAM --help` prints (words such as --scale or -x) and
# those the page shows are the same, and the commands named after the
# program's name in its usage lines are those of the page's synopsis.
# --help and -h themselves are left out: every program takes them, and not
# every usage says so. Pages are read as man prints them (`man -l`), so a
# page that man cannot read fails too.
# Usage: manuels-et-aide.sh PAGE PROGRAM [PAGE PROGRAM]...
set -u
export LC_ALL=C MANWIDTH=200
echec=0

options() {
  grep -oE '(^|[^A-Za-z0-9_-])--?[a-z][a-z0-9-]*' | sed -E 's/^[^-]*//' |
    grep -vxE -- '--help|-h' | sort -u
}

# The words after "NAME " at the start of a usage or synopsis line.
commandes() {
  sed -nE "s/^ *(usage: *)?$1 +([a-z][a-z-]*).*/\\2/p" | sort -u
}

while [ $# -ge 2 ]; do
  page=$1
  programme=$2
  shift 2
  nom=$(basename "$programme" .sh)
  if ! aide=$("$programme" --help 2>&1); then
    echo "manuels-et-aide: $programme --help failed" >&2
    echec=1
    continue
  fi
  if ! texte=$(man -l "$page" 2>/dev/null | col -bx) || [ -z "$texte" ]; then
    echo "manuels-et-aide: man cannot show $page" >&2
    echec=1
    continue
  fi
  synopsis=$(printf '%s\n' "$texte" | sed -n '/^SYNOPSIS/,/^[A-Z]/p')
  a=$(printf '%s\n' "$aide" | options)
  m=$(printf '%s\n' "$texte" | options)
  if [ "$a" != "$m" ]; then
    echo "manuels-et-aide: $page and $nom --help name different options:" >&2
    echo "  --help: $(echo $a)" >&2
    echo "  page:   $(echo $m)" >&2
    echec=1
  fi
  a=$(printf '%s\n' "$aide" | commandes "$nom")
  m=$(printf '%s\n' "$synopsis" | commandes "$nom")
  if [ "$a" != "$m" ]; then
    echo "manuels-et-aide: $page and $nom --help name different commands:" >&2
    echo "  --help: $(echo $a)" >&2
    echo "  page:   $(echo $m)" >&2
    echec=1
  fi
  echo "$nom: $(printf '%s\n' "$aide" | options | wc -l) options, $(echo $a | wc -w) commands in --help; $page checked"
done
exit $echec
