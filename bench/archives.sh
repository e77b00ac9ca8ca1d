#!/usr/bin/env bash
# Phrase searches inside archives: a tree of C source packed as .tar.gz, .tar.zst and .zip, searched
# by vsr-search --archives against ugrep -z (the terminal tool that searches inside archives),
# the tools taking turns round by round; prints the median wall and CPU seconds and their ratio,
# and checks that the per-member counts are equal (ugrep -c -o counts the occurrences, as our
# Found column does).
#
# bench/search.sh runs it.
#
#   bash bench/archives.sh     (RUNS=3; TREE=folder, else drivers/net of the kernel tree when there
#                               is one, else /usr/include, bench/c_tree.sh with COPIES=1;
#                               VSR_SEARCH=path/to/vsr-search)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${RUNS:-3}"
command -v ugrep >/dev/null || { echo "The benchmark needs ugrep: apt-get install -y ugrep" >&2; exit 1; }
command -v zip >/dev/null || { echo "The benchmark needs zip: apt-get install -y zip" >&2; exit 1; }
tree="${TREE:-}"
if [ -z "$tree" ]; then
  cache="${VSR_BENCH_CACHE:-$HOME/.cache/vsr-bench}"
  if [ -f "$cache/linux/.complete" ]; then tree="$cache/linux/drivers/net"; else tree="$(COPIES=1 bash bench/c_tree.sh)"; fi
fi
source bench/find_vsr_search.sh build-spine
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

packed="$tmp/packed"
mkdir -p "$packed"
base="$(basename "$tree")"
( cd "$(dirname "$tree")" &&
  tar -czf "$packed/$base.tar.gz" "$base" &&
  tar --zstd -cf "$packed/$base.tar.zst" "$base" &&
  zip -qr "$packed/$base.zip" "$base" )

time_once() {
  local TIMEFORMAT='%R %U %S' line
  line=$( { time "$@" >"$tmp/out" 2>/dev/null; } 2>&1 | tail -n 1 )
  awk '{printf "%s %.3f\n", $1, $2 + $3}' <<<"$line"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
median_of() { sort -g | awk '{a[NR]=$1} END {printf "%.3f", (NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2}'; }

echo "archives of $tree ($(find "$tree" -type f | wc -l) files): $(cd "$packed" && du -h -- * | tr '\t' ' ' | paste -sd, -)"
echo "median of $runs rounds; load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-18s %8s %8s %8s %8s %8s %8s  %s\n' "phrase" "vsr" "ugrep" "vsr/ug" "cpu vsr" "cpu ug" "cpu v/u" "counts"
fail=0
for term in "spin_lock_irqsave" "static int" "EXPORT_SYMBOL"; do
  vsr_run() { "$vsr" --path "$packed" --archives --case --query "$term"; }
  ug_run() { ugrep -z -r -c -o -F "$term" "$packed"; }
  declare -a vw=() vc=() uw=() uc=()
  for ((r = 0; r < runs; r++)); do
    for t in vsr_run ug_run; do
      line=$(time_once "$t")
      if [ "$t" = vsr_run ]; then vw+=("${line% *}"); vc+=("${line#* }"); else uw+=("${line% *}"); uc+=("${line#* }"); fi
    done
  done
  w1=$(printf '%s\n' "${vw[@]}" | median_of); c1=$(printf '%s\n' "${vc[@]}" | median_of)
  w2=$(printf '%s\n' "${uw[@]}" | median_of); c2=$(printf '%s\n' "${uc[@]}" | median_of)
  # ugrep names a member "archive{member}:count" and lists files without a match with 0.
  vsr_run 2>/dev/null | sort >"$tmp/vsr" || true
  ug_run 2>/dev/null | grep -v ':0$' | sed -E 's/\{(.*)\}:([0-9]+)$/\/\1\t\2/' | sort >"$tmp/ug" || true
  if cmp -s "$tmp/vsr" "$tmp/ug"; then counts="equal ($(wc -l <"$tmp/vsr") members)"; else counts="MISMATCH"; fail=1; fi
  printf '%-18s %8s %8s %8s %8s %8s %8s  %s\n' "$term" "$w1" "$w2" "$(ratio "$w1" "$w2")" "$c1" "$c2" "$(ratio "$c1" "$c2")" "$counts"
  if [ "$counts" = MISMATCH ]; then comm -3 "$tmp/vsr" "$tmp/ug" | head -5 >&2; fi
done
exit $fail
