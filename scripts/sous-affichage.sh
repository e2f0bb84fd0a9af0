#!/usr/bin/env bash
# Runs a command with a display: the current one if there is one, otherwise a
# virtual X server (Xvfb) with a small window manager, so that the game's
# full-screen window takes the screen's size. The server picks a free display
# number itself and tells it once it listens (-displayfd): several runs may
# start at the same moment without taking the same number.
set -u
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
dossier=$(mktemp -d "${TMPDIR:-/tmp}/corvella-affichage-XXXXXX")
wm=""
xvfb=""
finir() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$dossier"
}
trap finir EXIT
trap 'exit 130' INT TERM
Xvfb -displayfd 3 -screen 0 "${CORVELLA_ECRAN:-1280x720x24}" -nolisten tcp \
  3>"$dossier/numero" 2>"$dossier/xvfb.log" &
xvfb=$!
# Its number, once it listens (a loaded machine takes a while): 60 s at most.
numero=""
for _ in $(seq 600); do
  if [ "$(tail -c 1 "$dossier/numero" | od -An -c | tr -d ' ')" = '\n' ]; then
    numero=$(head -1 "$dossier/numero")
    break
  fi
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$numero" ]; then
  echo "sous-affichage: the virtual X server did not start" >&2
  cat "$dossier/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$numero"
# Wait until the window manager has taken the screen (slow on a loaded
# machine): without it a full-screen window stays 1x1. It has once it has told
# the desktop's work area (the end of its start-up); started again if it ends
# before that, 60 s at most in all. Its cache (a log it rewrites at each
# start) is its own, not the one of every other openbox of the machine.
pret=0
for _ in $(seq 600); do
  if [ -z "$wm" ] || ! kill -0 "$wm" 2>/dev/null; then
    XDG_CACHE_HOME="$dossier" openbox >>"$dossier/openbox.log" 2>&1 &
    wm=$!
  fi
  if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" &&
     xprop -root _NET_WORKAREA 2>/dev/null | grep -q " = "; then
    pret=1
    break
  fi
  sleep 0.1
done
if [ $pret = 0 ]; then
  echo "sous-affichage: the window manager did not start" >&2
  cat "$dossier/openbox.log" >&2
fi
"$@"
rc=$?
exit $rc
