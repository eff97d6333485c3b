#!/usr/bin/env bash
# Installs what is missing, builds, and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
tools/build.sh build

if [ ! -x build/bin/haojian ]; then
  echo "The desktop program is not built yet. Use the command-line tool:"
  echo "  build/bin/haojian-cli --help"
  exit 0
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display here, so the desktop program cannot open its window."
  echo "Start it on a desktop with build/bin/haojian, or use the command-line tool:"
  echo "  build/bin/haojian-cli lookup numbers.txt"
  echo "  build/bin/haojian-cli --help"
  exit 0
fi
exec build/bin/haojian
