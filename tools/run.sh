#!/usr/bin/env bash
# Installs what is missing, builds and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
QUINTARO_ZIEL=quintaro bash tools/setup.sh release
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting the window on a virtual X server (xvfb-run)."
  exec xvfb-run -a build/src/app/quintaro "$@"
fi
exec build/src/app/quintaro "$@"
