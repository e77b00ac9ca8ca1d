#!/usr/bin/env bash
# Starts the program on a private virtual screen, waits for its window, saves a picture of
# the screen and ends the program again.
#
#   tools/screenshot.sh OUT.png [program arguments]
#
# Environment:
#   VSR_PROGRAM    the program to start (default: the first vantixsr found in build-ui/ or build/)
#   VSR_SCREEN     screen size and depth for Xvfb (default 1100x800x24)
#   VSR_SETTLE     seconds to wait after the window appeared, for a run to finish (default 1)
#   QT_FONT_DPI, QT_SCALE_FACTOR are passed on, e.g. QT_FONT_DPI=144 for a 144 dpi picture.
set -euo pipefail

if [[ $# -lt 1 ]]; then
  echo "usage: $0 OUT.png [program arguments]" >&2
  exit 2
fi
out=$1
shift

root=$(cd "$(dirname "$0")/.." && pwd)
program=${VSR_PROGRAM:-}
if [[ -z $program ]]; then
  for candidate in "$root/build-ui/src/app/vantixsr" "$root/build/src/app/vantixsr"; do
    if [[ -x $candidate ]]; then program=$candidate; break; fi
  done
fi
if [[ -z $program || ! -x $program ]]; then
  echo "$0: no program to start; build it first or set VSR_PROGRAM" >&2
  exit 1
fi
for tool in Xvfb import xwininfo; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is missing (packages xvfb, x11-utils, imagemagick)" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody uses: Xvfb picks it and writes it to a descriptor.
exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 "${VSR_SCREEN:-1100x800x24}" -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display=""
for _ in $(seq 1 100); do
  if read -r -t 0.1 -u "$fd" display && [[ -n $display ]]; then break; fi
done
[[ -n $display ]] || { echo "$0: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$display"

# The program runs with its own home and settings, so a picture never depends on (or
# changes) the user's own settings.
mkdir -p "$work/home" "$work/config" "$work/data" "$work/cache"
HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache" \
  QT_QPA_PLATFORM=xcb "$program" "$@" >"$work/app.log" 2>&1 </dev/null &
app_pid=$!

found=""
for _ in $(seq 1 150); do
  if ! kill -0 "$app_pid" 2>/dev/null; then
    echo "$0: the program ended before its window appeared" >&2; cat "$work/app.log" >&2; exit 1
  fi
  if xwininfo -root -tree 2>/dev/null | grep -q '"Vantix Search & Replace"'; then found=1; break; fi
  sleep 0.1
done
[[ -n $found ]] || { echo "$0: no window after 15 seconds" >&2; cat "$work/app.log" >&2; exit 1; }
sleep "${VSR_SETTLE:-1}"
import -window root "$out"
echo "$out"
