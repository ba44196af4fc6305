#!/usr/bin/env bash
# Builds the Debian package and tries it where nothing else is installed: a
# scratch Debian 12 root made by debootstrap from the package mirror this
# machine already uses. The package is installed there with apt-get, which
# must find every dependency the package names, and the program must answer
# --version and --help there. Needs root and the mirror; not run by CI.
#
#   bash scripts/package-test.sh            (set KEEP_ROOT=1 to keep the root)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/setup.sh"

if [ "$(id -u)" -ne 0 ]; then
  echo "The package test makes a chroot: run it as root." >&2
  exit 1
fi
if ! command -v debootstrap >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
fi

# The Debian mirror of this machine's own package sources.
mirror="$(sed -n 's/^URIs: *\([^ ]*debian\/*\)$/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null |
  head -n1)"
if [ -z "$mirror" ]; then
  mirror="$(awk '$1 == "deb" && $2 !~ /^\[/ && $2 ~ /debian\/?$/ { print $2; exit }' \
    /etc/apt/sources.list 2>/dev/null || true)"
fi
mirror="${mirror:-http://deb.debian.org/debian}"

cd "$root/build"
rm -f rixfront_*.deb
cpack -G DEB
deb="$(ls rixfront_*.deb)"

chroot_dir="$(mktemp -d /var/tmp/rixfront-root.XXXXXX)"
chmod 755 "$chroot_dir"  # apt's download user must be able to enter it
cleanup() {
  umount "$chroot_dir/dev/pts" 2>/dev/null || true
  umount "$chroot_dir/proc" 2>/dev/null || true
  if [ "${KEEP_ROOT:-}" = 1 ]; then
    echo "The scratch root stays in $chroot_dir"
  else
    rm -rf --one-file-system "$chroot_dir"
  fi
}
trap cleanup EXIT

echo "debootstrap bookworm from $mirror into $chroot_dir"
debootstrap --variant=minbase bookworm "$chroot_dir" "$mirror" >"$chroot_dir.log" 2>&1 || {
  tail -n 20 "$chroot_dir.log" >&2
  exit 1
}
rm -f "$chroot_dir.log"
cp /etc/resolv.conf "$chroot_dir/etc/resolv.conf"
mount -t proc proc "$chroot_dir/proc"
mount -t devpts devpts "$chroot_dir/dev/pts"
# No services are started inside the scratch root.
printf '#!/bin/sh\nexit 101\n' >"$chroot_dir/usr/sbin/policy-rc.d"
chmod 755 "$chroot_dir/usr/sbin/policy-rc.d"
cp "$deb" "$chroot_dir/tmp/"

in_root() { chroot "$chroot_dir" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
  DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8 "$@"; }
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends "/tmp/$deb" >/dev/null

version="$(in_root rixfront --version)"
if [ "$version" != "RIX FrontEnd 0.8" ]; then
  echo "rixfront --version in the scratch root said: $version" >&2
  exit 1
fi
in_root rixfront --help | head -n 1
for f in /usr/share/applications/example.rixfront.RixFrontEnd.desktop \
  /usr/share/icons/hicolor/scalable/apps/example.rixfront.RixFrontEnd.svg \
  /usr/share/metainfo/example.rixfront.RixFrontEnd.metainfo.xml \
  /usr/share/man/man1/rixfront.1 /usr/share/rixfront/demo/RixFront.ini; do
  [ -f "$chroot_dir$f" ] || { echo "missing in the installed package: $f" >&2; exit 1; }
done
echo "$deb installs into a clean Debian 12 root and runs there: $version"
