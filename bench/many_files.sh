#!/usr/bin/env bash
# Lists every file by name in generated folders of one-line files, 100,000, 300,000 and then
# 1,000,000 of them, in the window (vsr-window-demo) and in vsr-search, each pair in the same
# minute, and prints the seconds and CPU seconds (user + system) of each run, the cost per row
# and the peak memory of each process. A cost per row that grows from the smaller listings to
# the larger means something grows faster than the rows. The files are made under a temporary
# folder (about 4 GB of blocks) and deleted after.
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
mem="$(mktemp)"
trap 'rm -rf "$root" "$out" "$mem"' EXIT
# The first tenth of the folders under some/part/, the next fifth under some/more/, the rest
# under rest/: some/part is the smallest listing, some/ the middle one, the root all of them.
small=$((folders / 10))
middle=$((folders * 3 / 10))
echo "making $((folders * 1000)) files under $root ..." >&2
for ((i = 0; i < folders; i++)); do
  d="$root/rest/d$i"
  [ "$i" -lt "$middle" ] && d="$root/some/more/d$i"
  [ "$i" -lt "$small" ] && d="$root/some/part/d$i"
  mkdir -p "$d"
  (cd "$d" && for ((j = 0; j < 1000; j++)); do echo "line $i $j" >"f$j.txt"; done)
done

# run <window|vsr> <path>: prints "<rows> <own seconds> <own cpu seconds> <peak memory MB>"
# (the window's and vsr-search's own figures of the run; the peak of the whole process)
run() {
  local kind="$1" path="$2" result
  if [ "$kind" = window ]; then
    QT_QPA_PLATFORM=offscreen /usr/bin/time -f '%M' -o "$mem" \
      "$window" --path "$path" --masks '*.*' --run --time --quit >"$out" 2>/dev/null
    result=$(awk '/ rows in / {print $1, $4, $7}' "$out")
  else
    /usr/bin/time -f '%M' -o "$mem" "$vsr" --path "$path" --masks '*.*' >/dev/null 2>"$out"
    result=$(awk '/ms=/ {for (i = 1; i <= NF; i++) {split($i, kv, "="); v[kv[1]] = kv[2]}
                         printf "%s %.3f %.3f", v["files"], v["ms"] / 1000, v["cpu_ms"] / 1000}' "$out")
  fi
  echo "$result $(awk '{printf "%.0f", $1 / 1024}' "$mem")"
}

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-8s %4s %8s %8s %8s %8s %10s %10s %8s %8s\n' rows run window cpu vsr cpu "win us/row" "vsr us/row" \
  "win MB" "vsr MB"
for path in "$root/some/part" "$root/some" "$root"; do
  run window "$path" >/dev/null; run vsr "$path" >/dev/null  # warm the cache
  for ((r = 1; r <= runs; r++)); do
    read -r rows tw cw mw < <(run window "$path")
    read -r _ tv cv mv < <(run vsr "$path")
    awk -v n="$rows" -v r="$r" -v tw="$tw" -v cw="$cw" -v tv="$tv" -v cv="$cv" -v mw="$mw" -v mv="$mv" \
      'BEGIN {printf "%-8s %4s %8s %8s %8s %8s %10.2f %10.2f %8s %8s\n", n, r, tw, cw, tv, cv, tw / n * 1e6, tv / n * 1e6, mw, mv}'
  done
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
