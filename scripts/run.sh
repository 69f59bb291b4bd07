#!/usr/bin/env bash
# Opens the calculator on the desktop, or says plainly why it cannot.
set -u
exe=${1:-build-run/qt/meravel}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" = "" ]; then
  echo "make run: no desktop to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Run it from a graphical session, or under Xvfb: xvfb-run -a $exe" >&2
  exit 1
fi
exec "$exe"
