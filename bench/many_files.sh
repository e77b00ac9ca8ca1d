#!/usr/bin/env bash
# Lists every file by name in generated folders of one-line files, 100,000 and then 1,000,000
# of them, in the window (vsr-window-demo) and in vsr-search, each pair in the same minute, and
# prints the seconds and CPU seconds (user + system) of each and the cost per row. A cost per
# row that grows from the smaller listing to the larger means something grows faster than the
# rows. The files are made under a temporary folder (about 4 GB of blocks) and deleted after.
#
#   bash bench/many_files.sh          (RUNS=3 by default; FOLDERS=1000 folders of 1,000 files)
set -euo pipefail
cd "$(dirname "$0")/.."

runs="${RUNS:-3}"
folders="${FOLDERS:-1000}"
source bench/find_vsr_search.sh build-spine
window="${VSR_WINDOW_DEMO:-$(dirname "$vsr")/../vsr-window-demo/vsr-window-demo}"
[ -x "$window" ] || { echo "no vsr-window-demo at $window" >&2; exit 1; }

root="$(mktemp -d "${TMPDIR:-/tmp}/vsr-many.XXXXXX")"
out="$(mktemp)"
trap 'rm -rf "$root" "$out"' EXIT
# The first tenth of the folders under part/, the rest beside it: part/ is the smaller listing.
small=$((folders / 10))
echo "making $((folders * 1000)) files under $root ..." >&2
for ((i = 0; i < folders; i++)); do
  d="$root/rest/d$i"
  [ "$i" -lt "$small" ] && d="$root/part/d$i"
  mkdir -p "$d"
  (cd "$d" && for ((j = 0; j < 1000; j++)); do echo "line $i $j" >"f$j.txt"; done)
done

# run <window|vsr> <path>: prints "<rows> <own seconds> <cpu seconds>"
run() {
  local kind="$1" path="$2" result cpu
  local TIMEFORMAT='%U %S'
  if [ "$kind" = window ]; then
    cpu=$( { time QT_QPA_PLATFORM=offscreen "$window" --path "$path" --masks '*.*' --run --time --quit >"$out" 2>/dev/null; } 2>&1 )
    result=$(awk '/ rows in / {print $1, $4}' "$out")
  else
    cpu=$( { time "$vsr" --path "$path" --masks '*.*' >/dev/null 2>"$out"; } 2>&1 )
    result=$(awk -F'[ =]' '/ms=/ {printf "%s %.3f", $2, $6 / 1000}' "$out")
  fi
  echo "$result $(awk '{print $1 + $2}' <<<"$cpu")"
}

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-10s %8s %9s %9s %9s %9s %10s %10s\n' rows run window cpu vsr cpu "win us/row" "vsr us/row"
for path in "$root/part" "$root"; do
  run window "$path" >/dev/null; run vsr "$path" >/dev/null  # warm the cache
  for ((r = 1; r <= runs; r++)); do
    read -r rows tw cw < <(run window "$path")
    read -r _ tv cv < <(run vsr "$path")
    awk -v n="$rows" -v r="$r" -v tw="$tw" -v cw="$cw" -v tv="$tv" -v cv="$cv" \
      'BEGIN {printf "%-10s %8s %9s %9s %9s %9s %10.2f %10.2f\n", n, r, tw, cw, tv, cv, tw / n * 1e6, tv / n * 1e6}'
  done
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
