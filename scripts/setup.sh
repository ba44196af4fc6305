#!/usr/bin/env bash
# Installs what the build and the tests need, when it is missing, and
# configures and builds the program. Sourced by run.sh and test.sh.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-image-formats-plugins qt6-translations-l10n
  libisal-dev libdeflate-dev zlib1g-dev libgif-dev
  googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-arphic-uming fonts-liberation2 fonts-dejavu-core
  unzip zip libarchive-tools 7zip
  desktop-file-utils appstream dpkg-dev file
  poppler-utils
  xvfb libxcb1-dev libxcb-damage0-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages and not root: run as root, or install them: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cd "$root"
if [ ! -f build/build.ninja ]; then
  cmake --preset default
fi
cmake --build --preset default
