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
  # Give the window manager a moment to take the screen.
  for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
  done
  "$@"
  rc=$?
  kill $wm 2>/dev/null
  exit $rc
' bash "$@"
