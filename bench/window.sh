#!/usr/bin/env bash
# The window against vsr-search on the same search of the kernel tree: each reports the seconds
# of its own run (the window's from Find to the end of the run, its list and status bar
# included) and the CPU seconds of all its threads during it. Runs of half a second swing more
# than the margin on a shared machine, so the two run in pairs, one right after the other, and
# the pairs are many (PAIRS, 9 by default) after one warm-up of each: the figures are the
# medians of the pairs, with the lowest and highest ratio of a pair beside them. Target: the
# median ratio of the pairs at most 1.2, however many rows.
#
#   bash bench/window.sh            (also run by bench/search.sh; VSR_SEARCH and VSR_WINDOW_DEMO
#                                    choose the binaries)
set -euo pipefail
cd "$(dirname "$0")/.."

pairs="${PAIRS:-9}"
corpus="${TREE:-$(bash bench/corpus.sh)}"
source bench/find_vsr_search.sh build-spine
window="${VSR_WINDOW_DEMO:-$(dirname "$vsr")/../vsr-window-demo/vsr-window-demo}"
if [ ! -x "$window" ]; then
  echo "(no vsr-window-demo at $window: window rows skipped)"
  exit 0
fi

rows_file="$(mktemp)"
trap 'rm -f "$rows_file"' EXIT

# one <window|vsr> <args...>: prints "<rows> <seconds> <cpu seconds>" of the run
one() {
  local kind="$1"; shift
  if [ "$kind" = window ]; then
    QT_QPA_PLATFORM=offscreen "$window" --path "$corpus" "$@" --run --time --quit 2>/dev/null |
      awk '/ rows in / {print $1, $4, $7}'
  else
    "$vsr" --path "$corpus" "$@" 2>&1 >"$rows_file" |
      awk '/ms=/ {for (i = 1; i <= NF; i++) {split($i, kv, "="); v[kv[1]] = kv[2]}
                  printf "%s %.3f %.3f\n", v["files"], v["ms"] / 1000, v["cpu_ms"] / 1000}'
  fi
}

median() { sort -g | awk '{a[NR] = $1} END {printf "%.3f", (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }

echo "window against vsr-search: medians of $pairs pairs; load before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-26s %7s %7s %7s %6s %11s %8s %8s %6s\n' "search" "rows" "window" "vsr" "ratio" "lowest-top" \
  "cpu win" "cpu vsr" "ratio"
fail=0
for row in "phrase \"static int\"|--query|static int" "every file by name (*.*)|--masks|*.*"; do
  label="${row%%|*}"; rest="${row#*|}"; flag="${rest%%|*}"; value="${rest#*|}"
  one window "$flag" "$value" >/dev/null; one vsr "$flag" "$value" >/dev/null  # warm the cache
  tw=() tv=() cw=() cv=() ratios=() cratios=()
  for ((p = 0; p < pairs; p++)); do
    read -r rows w c < <(one window "$flag" "$value")
    read -r _ v d < <(one vsr "$flag" "$value")
    tw+=("$w"); tv+=("$v"); cw+=("$c"); cv+=("$d")
    ratios+=("$(awk -v a="$w" -v b="$v" 'BEGIN {printf "%.3f", a / b}')")
    cratios+=("$(awk -v a="$c" -v b="$d" 'BEGIN {printf "%.3f", a / b}')")
  done
  mr=$(printf '%s\n' "${ratios[@]}" | median)
  spread=$(printf '%s\n' "${ratios[@]}" | sort -g | awk 'NR == 1 {lo = $1} {hi = $1} END {printf "%.2f-%.2f", lo, hi}')
  printf '%-26s %7s %7s %7s %6.2f %11s %8s %8s %6.2f\n' "$label" "$rows" \
    "$(printf '%s\n' "${tw[@]}" | median)" "$(printf '%s\n' "${tv[@]}" | median)" "$mr" "$spread" \
    "$(printf '%s\n' "${cw[@]}" | median)" "$(printf '%s\n' "${cv[@]}" | median)" \
    "$(printf '%s\n' "${cratios[@]}" | median)"
  awk -v r="$mr" 'BEGIN {exit !(r <= 1.2)}' || { echo "  target missed: window/vsr-search above 1.2 ($label)" >&2; fail=1; }
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $fail
