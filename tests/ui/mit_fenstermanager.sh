#!/usr/bin/env bash
# Runs window tests on a real X server with a window manager (Xvfb and openbox), where windows
# have frames; exit 77 (skipped) when either is missing. Usage: mit_fenstermanager.sh PROGRAM ARGS
set -uo pipefail
if ! command -v xvfb-run > /dev/null || ! command -v openbox > /dev/null; then
  echo "Xvfb (xvfb-run) or openbox is not installed"
  exit 77
fi
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  openbox > /dev/null 2>&1 &
  wm=$!
  # openbox has taken the screen once it names itself on the root window.
  for _ in $(seq 1 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q "window id" && break
    sleep 0.1
  done
  QT_QPA_PLATFORM=xcb QUINTARO_FENSTERMANAGER=1 "$@"
  rc=$?
  kill "$wm"
  exit "$rc"' fenstermanager "$@"
