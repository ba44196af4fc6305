#!/usr/bin/env bash
# Builds everything and opens the program on the demo catalogue.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Checked before the build, so that a session without a display learns it at once.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: RIX FrontEnd needs a graphical session (set DISPLAY, or run under xvfb-run)." >&2
  exit 2
fi
source "$root/scripts/setup.sh"
exec "$root/build/rixfront" "$root/build/demo/"
