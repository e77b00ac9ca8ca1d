#!/usr/bin/env bash
# Installs the package built by `make package` into a fresh minimal Debian 12 and runs it there:
# `vantixsr --version`, vsr-search on /usr/share/doc, `man vantixsr`, and the window on a private
# X screen with a screenshot (BUILD/package-check.png).
#
#   packaging/check.sh BUILD      (as root; `make package-check`)
#
# The base system comes from the Debian mirror this machine's apt uses, made once with
# `debootstrap --variant=minbase` into BUILD/check-base and copied for every run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: packaging/check.sh BUILD}" && pwd)
deb=$(ls "$build"/vantixsr_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "no package in $build: run make package" >&2; exit 1; }
[ "$(id -u)" = 0 ] || { echo "packaging/check.sh needs root (debootstrap, chroot)" >&2; exit 1; }

mirror=$(grep -rhoE '^(URIs:|deb) +https?://[^ ]+/debian/?( |$)' /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null |
         grep -oE 'https?://[^ ]+' | head -n 1 || true)
mirror=${mirror:-http://deb.debian.org/debian}
base="$build/check-base"
work="$build/check-root"
step_start=0
step() { step_start=$(date +%s); echo "== $*"; }
took() { echo "   ($(( $(date +%s) - step_start )) s)"; }

mounted=()
cleanup() {
  for m in "${mounted[@]}"; do umount -l "$m" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

if [ ! -x "$base/usr/bin/apt-get" ]; then
  step "debootstrap --variant=minbase bookworm from $mirror"
  rm -rf "$base"
  debootstrap --variant=minbase bookworm "$base" "$mirror" >"$build/debootstrap.log" 2>&1 ||
    { tail -n 20 "$build/debootstrap.log" >&2; exit 1; }
  took
fi

step "fresh copy of the base system"
rm -rf "$work"
cp -a "$base" "$work"
for m in proc sys dev; do
  mount --bind "/$m" "$work/$m"
  mounted=("$work/$m" "${mounted[@]}")
done
cp /etc/resolv.conf "$work/etc/resolv.conf"
cp "$deb" "$work/tmp/"
cp "$root/tools/screenshot.sh" "$work/tmp/screenshot.sh"
took
in_root() { chroot "$work" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

step "apt-get install ./$(basename "$deb")"
in_root apt-get update -qq
# What the package costs a user, with and without the recommended packages.
for mode in "" "--no-install-recommends"; do
  in_root apt-get install -s $mode "/tmp/$(basename "$deb")" |
    awk -v m="${mode:-with recommends}" '/newly installed/ { print "   " m ": " $3 " new packages" }'
done
installed_kb() { in_root dpkg-query -W -f='${Installed-Size}\n' | awk '{ s += $1 } END { print s }'; }
before=$(installed_kb)
DEBIAN_FRONTEND=noninteractive in_root apt-get install -y -qq "/tmp/$(basename "$deb")" >"$build/check-install.log" 2>&1 ||
  { tail -n 30 "$build/check-install.log" >&2; exit 1; }
echo "   installed with recommends: $(( ($(installed_kb) - before) / 1024 )) MB more on disk"
took

step "vantixsr --version"
in_root vantixsr --version

step "vsr-search on /usr/share/doc"
in_root vsr-search --path /usr/share/doc --masks '*' --query Debian >"$build/check-search.txt"
echo "   $(wc -l <"$build/check-search.txt") files listed"
[ -s "$build/check-search.txt" ] || { echo "vsr-search listed nothing" >&2; exit 1; }

step "man vantixsr"
DEBIAN_FRONTEND=noninteractive in_root apt-get install -y -qq --no-install-recommends man-db >/dev/null 2>&1
in_root man -P cat vantixsr 2>/dev/null | head -n 5
in_root man -w vsr-search >/dev/null 2>&1 && echo "   man vsr-search: found" || echo "   man vsr-search: not in the package"

step "the window on a private X screen"
DEBIAN_FRONTEND=noninteractive in_root apt-get install -y -qq --no-install-recommends xvfb xauth x11-utils imagemagick \
  >/dev/null 2>&1
in_root env VSR_PROGRAM=/usr/bin/vantixsr bash /tmp/screenshot.sh /tmp/window.png
cp "$work/tmp/window.png" "$build/package-check.png"
echo "   $build/package-check.png"
took
echo "package check passed"
