#!/usr/bin/env bash
# Builds everything and opens the program on the demo catalogue.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/setup.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: RIX FrontEnd needs a graphical session (set DISPLAY, or run under xvfb-run)." >&2
  exit 2
fi
exec "$root/build/rixfront" "$root/build/demo/"
