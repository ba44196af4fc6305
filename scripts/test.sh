#!/usr/bin/env bash
# Builds everything and runs every test: the unit and window tests, then each
# fuzz target briefly over its seed corpus (built with clang, ASan and UBSan).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/setup.sh"
cd "$root"
export QT_QPA_PLATFORM=offscreen
ctest --preset default --parallel 2
if [ ! -f build-fuzz/build.ninja ]; then
  cmake --preset fuzz
fi
cmake --build --preset fuzz
ctest --preset fuzz
