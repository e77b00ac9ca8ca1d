#!/usr/bin/env bash
# Times the search of files in an encoding of their own against the same text in UTF-8:
#
# 1. One large UTF-16 file (SIZE_MB, default 100 MB) made with iconv from a UTF-8 text (the C
#    tree's headers one after another), against that UTF-8 text, with the same queries. Target:
#    the UTF-16 file within 2 times the UTF-8 one (CPU time), with the same count.
# 2. The cost of the decoding stage on a tree of plain UTF-8 files: vsr-search as it was before
#    files were read in their own encodings (BEFORE_REV, built once into the cache folder, or
#    VSR_BEFORE) against the one of this checkout. Target: at most 3% more CPU time, with the
#    same output.
#
# Outputs go to files, so no tool can skip work whose result nobody reads.
#
#   bash bench/encodings.sh   (RUNS=5; TREE=folder to search instead of the C tree; VSR_SEARCH, VSR_BEFORE;
#                              PARTS=1 or PARTS=2 for one of the two)
set -euo pipefail
cd "$(dirname "$0")/.."

runs="${RUNS:-5}"
size_mb="${SIZE_MB:-100}"
before_rev="${BEFORE_REV:-fdada48^}"
cache="${VSR_BENCH_CACHE:-$HOME/.cache/vsr-bench}"

command -v iconv >/dev/null || { echo "The benchmark needs iconv (libc-bin)" >&2; exit 1; }
source bench/find_vsr_search.sh build-spine
tree="${TREE:-$(bash bench/c_tree.sh)}"

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# "wall cpu" seconds of one run of a command, its standard output into $tmp/out.
time_once() {
  local TIMEFORMAT='%R %U %S' line
  line=$( { time "$@" >"$tmp/out" 2>"$tmp/err"; } 2>&1 | tail -n 1 )
  awk '{printf "%s %.3f\n", $1, $2 + $3}' <<<"$line"
}
median_of() {
  sort -g | awk '{a[NR]=$1} END {printf "%.3f", (NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2}'
}
# Runs two commands (the functions named) in turns, one warm-up round and `runs` rounds each
# starting with the other, and sets wall[<name>] and cpu[<name>] to the medians; the output of
# each one's last run is kept in $tmp/<name>.out.
declare -A wall cpu
pair() {
  local tools=("$1" "$2") r k t line
  local -A walls cpus
  for t in "${tools[@]}"; do "$t" >"$tmp/$t.out" 2>/dev/null || true; done
  for ((r = 0; r < runs; r++)); do
    for ((k = 0; k < 2; k++)); do
      t=${tools[$(((r + k) % 2))]}
      line=$(time_once "$t")
      walls[$t]+="${line% *} "
      cpus[$t]+="${line#* } "
      cp "$tmp/out" "$tmp/$t.out"
    done
  done
  for t in "${tools[@]}"; do
    wall[$t]=$(tr ' ' '\n' <<<"${walls[$t]}" | grep . | median_of)
    cpu[$t]=$(tr ' ' '\n' <<<"${cpus[$t]}" | grep . | median_of)
  done
}

parts="${PARTS:-12}"
fail=0
names=("phrase" "phrase, ignore case" "whole words" "words: or" "reg expr")
queries=("--case --query|static int" "--query|STATIC INT" "--case --whole --query|size"
         "--case --type or --query|mutex_lock spin_lock kfree" "--case --type regex --query|[a-z]+_t \\*")
split() { # split "<flags>|<last argument>" into the array "parts"
  local flags="${1%%|*}" last="${1#*|}"
  read -r -a parts <<<"$flags"
  parts+=("$last")
}

# 1. The large file, in UTF-8 and in UTF-16 (LE behind its mark, as iconv writes it here).
if [[ $parts == *1* ]]; then
big="$cache/encodings-$size_mb"
if [ ! -f "$big/.complete" ]; then
  rm -rf "$big"
  mkdir -p "$big/utf8" "$big/utf16"
  echo "Making a $size_mb MB UTF-16 file from the headers of $tree ..." >&2
  find "$tree" -type f -name '*.h' -print0 | sort -z | xargs -0 cat -- 2>/dev/null |
    iconv -c -f UTF-8 -t UTF-8 | tr -d '\000' | head -c $((size_mb * 1024 * 1024 / 2)) |
    iconv -c -f UTF-8 -t UTF-8 >"$big/utf8/text.txt" || true  # the second: a character cut at the end
  iconv -c -f UTF-8 -t UTF-16 "$big/utf8/text.txt" >"$big/utf16/text.txt"
  touch "$big/.complete"
fi
echo "one file: UTF-8 $(du -m "$big/utf8/text.txt" | cut -f1) MB against UTF-16 $(du -m "$big/utf16/text.txt" | cut -f1) MB;" \
  "median of $runs rounds in turns, --threads 1; load before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-20s %9s %9s %9s %9s %7s   %s\n' "search" "utf-8" "utf-16" "cpu u8" "cpu u16" "ratio" "count"
for i in "${!names[@]}"; do
  split "${queries[$i]}"; q=("${parts[@]}")
  utf8_file() { "$vsr" --threads 1 --path "$big/utf8" "${q[@]}"; }
  utf16_file() { "$vsr" --threads 1 --path "$big/utf16" "${q[@]}"; }
  pair utf8_file utf16_file
  ratio=$(awk -v a="${cpu[utf16_file]}" -v b="${cpu[utf8_file]}" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}')
  count8=$(cut -f2 "$tmp/utf8_file.out" | head -n 1)
  count16=$(cut -f2 "$tmp/utf16_file.out" | head -n 1)
  printf '%-20s %9s %9s %9s %9s %7s   %s\n' "${names[$i]}" "${wall[utf8_file]}" "${wall[utf16_file]}" \
    "${cpu[utf8_file]}" "${cpu[utf16_file]}" "$ratio" "$count8/$count16"
  awk -v r="$ratio" 'BEGIN {exit !(r <= 2)}' || { echo "  target missed: ${names[$i]} UTF-16 above 2x UTF-8" >&2; fail=1; }
  [ "$count8" = "$count16" ] || { echo "  COUNT MISMATCH: ${names[$i]}: $count8 against $count16" >&2; fail=1; }
done

fi

# 2. The tree of plain UTF-8 files, before and after.
if [[ $parts == *2* ]]; then
before="${VSR_BEFORE:-}"
if [ -z "$before" ]; then
  rev=$(git rev-parse --short "$before_rev")
  before="$cache/vsr-search-$rev/build/tools/vsr-search/vsr-search"
  if [ ! -x "$before" ]; then
    echo "Building vsr-search of $rev into $cache/vsr-search-$rev ..." >&2
    rm -rf "$cache/vsr-search-$rev"
    mkdir -p "$cache/vsr-search-$rev/src"
    git archive "$rev" | tar -x -C "$cache/vsr-search-$rev/src"
    cmake -S "$cache/vsr-search-$rev/src" -B "$cache/vsr-search-$rev/build" -G Ninja \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$cache/vsr-search-$rev/build" --target vsr-search -j 2 >&2
  fi
fi
echo
echo "tree $tree: before ($before_rev) against this checkout; median of $runs rounds in turns;" \
  "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-20s %9s %9s %9s %9s %7s\n' "search" "before" "after" "cpu bef" "cpu aft" "cost"
for i in "${!names[@]}"; do
  split "${queries[$i]}"; q=("${parts[@]}")
  tree_before() { "$before" --path "$tree" "${q[@]}"; }
  tree_after() { "$vsr" --path "$tree" "${q[@]}"; }
  pair tree_before tree_after
  cost=$(awk -v a="${cpu[tree_after]}" -v b="${cpu[tree_before]}" 'BEGIN {printf "%+.1f%%", (b > 0 ? 100 * (a / b - 1) : 0)}')
  printf '%-20s %9s %9s %9s %9s %7s\n' "${names[$i]}" "${wall[tree_before]}" "${wall[tree_after]}" \
    "${cpu[tree_before]}" "${cpu[tree_after]}" "$cost"
  awk -v a="${cpu[tree_after]}" -v b="${cpu[tree_before]}" 'BEGIN {exit !(a <= 1.03 * b)}' ||
    { echo "  target missed: ${names[$i]} costs more than 3% over before" >&2; fail=1; }
  cmp -s <(sort "$tmp/tree_before.out") <(sort "$tmp/tree_after.out") ||
    { echo "  OUTPUT MISMATCH: ${names[$i]} before and after" >&2; fail=1; }
done
fi
exit "$fail"
