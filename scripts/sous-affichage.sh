#!/usr/bin/env bash
# Runs a command with a display: the current one if there is one, otherwise a
# virtual X server (Xvfb) with a small window manager, so that the game's
# full-screen window takes the screen's size.
set -u
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
exec xvfb-run -a -s "-screen 0 ${CORVELLA_ECRAN:-1280x720x24}" bash -c '
  openbox >/dev/null 2>&1 &
  wm=$!
  # Wait until the window manager has taken the screen (slow on a loaded
  # machine): without it a full-screen window stays 1x1.
  pret=0
  for _ in $(seq 300); do
    # ... and has told the desktop'"'"'s work area (the end of its start-up).
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" &&
       xprop -root _NET_WORKAREA 2>/dev/null | grep -q " = "; then
      pret=1
      break
    fi
    sleep 0.1
  done
  [ $pret = 1 ] || echo "sous-affichage: the window manager did not start" >&2
  "$@"
  rc=$?
  kill $wm 2>/dev/null
  exit $rc
' bash "$@"
