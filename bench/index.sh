#!/usr/bin/env bash
# Times vsr-search with its content index (--index) against the same search without it and
# against ripgrep, on the rows of bench/search.sh, over the C tree of bench/c_tree.sh: warm
# (the tools of a row in turns) and, as root, cold (the page cache dropped before every run).
# Also: the time of building the index against one unindexed search, the index's size against
# the text it indexes, the peak memory of each (from /usr/bin/time -v), and a check that every
# row lists the same files with the same counts with the index as without it.
#
#   bash bench/index.sh       (RUNS=5, COLD_RUNS=3; VSR_SEARCH=path/to/vsr-search)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${RUNS:-5}"
cold_runs="${COLD_RUNS:-3}"
command -v rg >/dev/null || { echo "The benchmark needs ripgrep: sudo apt-get install -y ripgrep" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "The benchmark needs GNU time: sudo apt-get install -y time" >&2; exit 1; }
tree="$(bash bench/c_tree.sh)"
source bench/find_vsr_search.sh build-spine
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
# The index goes to a cache folder of the benchmark's own, made afresh.
export XDG_CACHE_HOME="$tmp/cache"
echo "tree: $tree (no kernel tree on this machine: /usr/include copied by bench/c_tree.sh)"
echo "files: $(find "$tree" -type f | wc -l), text bytes: $(find "$tree" -type f -printf '%s\n' | awk '{s+=$1} END {print s}')"

# "wall cpu peak_kb" of one run; its output goes to $tmp/out.<name>.
measure() {
  local name="$1"; shift
  /usr/bin/time -f '%e %U %S %M' -o "$tmp/time.$name" "$@" >"$tmp/out.$name" 2>"$tmp/err.$name" || true
  awk '{printf "%s %.2f %s\n", $1, $2 + $3, $4}' "$tmp/time.$name"
}
median_of() { sort -g | awk '{a[NR]=$1} END {printf "%.3f", (NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2}'; }
can_drop=0
if [ "$(id -u)" = 0 ] && [ -w /proc/sys/vm/drop_caches ]; then can_drop=1; fi
drop() { sync; echo 3 >/proc/sys/vm/drop_caches; }

# Building: one unindexed search, then the first indexed one (which builds the index), each warm.
q=(--case --query "static int")
"$vsr" --path "$tree" "${q[@]}" >"$tmp/out.warmup" 2>&1 || true
read -r plain_wall plain_cpu plain_kb < <(measure plain "$vsr" --path "$tree" "${q[@]}")
read -r build_wall build_cpu build_kb < <(measure build "$vsr" --index --path "$tree" "${q[@]}")
index_file=$(ls "$XDG_CACHE_HOME/Vantix Search & Replace/index/"*.idx)
index_bytes=$(stat -c %s "$index_file")
text_bytes=$(find "$tree" -type f -printf '%s\n' | awk '{s+=$1} END {print s}')
grep '^index: built' "$tmp/err.build" || true
awk -v pw="$plain_wall" -v bw="$build_wall" -v pc="$plain_cpu" -v bc="$build_cpu" -v pk="$plain_kb" -v bk="$build_kb" \
    -v ib="$index_bytes" -v tb="$text_bytes" \
  'BEGIN {printf "build (with its search): %.2f s, %.2f s CPU (one unindexed search %.2f s, %.2f s CPU): %.2fx wall, %.2fx CPU; peak memory %d MB (search %d MB)\n", bw, bc, pw, pc, bw/pw, (pc>0?bc/pc:0), bk/1024, pk/1024;
          printf "index: %d bytes, %.1f%% of the text\n", ib, 100*ib/tb}'
# Files changed while the index was built (this second) are indexed on the next run.
sleep 1.2
"$vsr" --index --path "$tree" "${q[@]}" >"$tmp/out.settle" 2>"$tmp/err.settle" || true
"$vsr" --index --path "$tree" "${q[@]}" >"$tmp/out.settle" 2>"$tmp/err.settle" || true
grep '^index:' "$tmp/err.settle" || true
# A refresh reads only what changed: 100 files touched (their times, not their bytes), then the
# search that finds them and refreshes the index after it.
find "$tree" -type f -name '*.h' | sort | sed -n 1,100p | xargs touch
sleep 1.2
read -r refresh_wall refresh_cpu _ < <(measure refresh "$vsr" --index --path "$tree" "${q[@]}")
grep '^index: refreshed' "$tmp/err.refresh" || true
awk -v rw="$refresh_wall" -v rc="$refresh_cpu" -v pw="$plain_wall" -v pc="$plain_cpu" \
  'BEGIN {printf "search + refresh after 100 files changed: %.2f s, %.2f s CPU (%.2fx, %.2fx CPU of one unindexed search)\n", rw, rc, rw/pw, (pc>0?rc/pc:0)}'
"$vsr" --index --path "$tree" "${q[@]}" >"$tmp/out.settle" 2>"$tmp/err.settle" || true

declare -a names=("phrase" "phrase, ignore case" "rare phrase" "whole words" "words: or (3 words)")
declare -a vsrargs=("--case --query|static int" "--query|static int" "--case --query|Linus Torvalds"
                    "--case --whole --query|size" "--case --type or --query|mutex_lock spin_lock kfree")
declare -a rgargs=("--count-matches|static int" "--count-matches -i|static int" "--count-matches|Linus Torvalds"
                   "--count-matches -w|size" "--count-matches -e mutex_lock -e spin_lock -e|kfree")
split() { local flags="${1%%|*}" last="${1#*|}"; read -r -a parts <<<"$flags"; parts+=("$last"); }

echo
echo "warm: median wall seconds of $runs rounds in turns; load before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-22s %9s %9s %9s   %s\n' "search" "indexed" "plain" "rg" "indexed/plain  indexed/rg  peak MB indexed/plain  same rows"
fail=0
for i in "${!names[@]}"; do
  split "${vsrargs[$i]}"; va=("${parts[@]}")
  split "${rgargs[$i]}"; ra=("${parts[@]}")
  declare -A walls=() kbs=()
  for ((r = 0; r < runs; r++)); do
    for t in indexed plain rg; do
      case $t in
        indexed) line=$(measure "$t" "$vsr" --index --path "$tree" "${va[@]}") ;;
        plain) line=$(measure "$t" "$vsr" --path "$tree" "${va[@]}") ;;
        rg) line=$(measure "$t" rg -uu -F "${ra[@]}" "$tree") ;;
      esac
      read -r w c k <<<"$line"
      walls[$t]+="$w "
      kbs[$t]=$k
    done
  done
  same=yes
  cmp -s "$tmp/out.indexed" "$tmp/out.plain" || { same=NO; fail=1; }
  ti=$(tr ' ' '\n' <<<"${walls[indexed]}" | grep . | median_of)
  tp=$(tr ' ' '\n' <<<"${walls[plain]}" | grep . | median_of)
  tr_=$(tr ' ' '\n' <<<"${walls[rg]}" | grep . | median_of)
  awk -v n="${names[$i]}" -v a="$ti" -v b="$tp" -v c="$tr_" -v ka="${kbs[indexed]}" -v kb="${kbs[plain]}" -v s="$same" \
    'BEGIN {printf "%-22s %9.3f %9.3f %9.3f   %13.3f %11.3f  %6d/%-6d %10s\n", n, a, b, c, (b>0?a/b:0), (c>0?a/c:0), ka/1024, kb/1024, s}'
  grep '^index:' "$tmp/err.indexed" | sed 's/^/                         /' || true
done

if [ "$can_drop" = 1 ]; then
  echo
  echo "cold: median wall seconds of $cold_runs runs, the page cache dropped before each"
  printf '%-22s %9s %9s %9s   %s\n' "search" "indexed" "plain" "rg" "indexed/plain  indexed/rg"
  for i in "${!names[@]}"; do
    split "${vsrargs[$i]}"; va=("${parts[@]}")
    split "${rgargs[$i]}"; ra=("${parts[@]}")
    declare -A walls=()
    for ((r = 0; r < cold_runs; r++)); do
      drop; line=$(measure indexed "$vsr" --index --path "$tree" "${va[@]}"); walls[indexed]+="${line%% *} "
      drop; line=$(measure plain "$vsr" --path "$tree" "${va[@]}"); walls[plain]+="${line%% *} "
      drop; line=$(measure rg rg -uu -F "${ra[@]}" "$tree"); walls[rg]+="${line%% *} "
    done
    ti=$(tr ' ' '\n' <<<"${walls[indexed]}" | grep . | median_of)
    tp=$(tr ' ' '\n' <<<"${walls[plain]}" | grep . | median_of)
    tr_=$(tr ' ' '\n' <<<"${walls[rg]}" | grep . | median_of)
    awk -v n="${names[$i]}" -v a="$ti" -v b="$tp" -v c="$tr_" \
      'BEGIN {printf "%-22s %9.3f %9.3f %9.3f   %13.3f %11.3f\n", n, a, b, c, (b>0?a/b:0), (c>0?a/c:0)}'
  done
else
  echo "cold: not measured (dropping the page cache needs root)"
fi
[ "$fail" = 0 ] || { echo "indexed and plain searches listed different rows" >&2; exit 1; }
