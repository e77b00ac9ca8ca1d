#!/usr/bin/env bash
# Reg Expr searches of a whole tree: vsr-search against ripgrep, single-threaded (--threads 1
# against rg -j1) and with the default threads of each, the tools of a row taking turns round by
# round; prints the median wall and CPU (user + system) seconds and the ratios, then checks
# that vsr-search's per-file counts equal ripgrep's whole-file counts (rg -U --count-matches:
# like ours, its "\s" and negated classes cross line ends), files with a NUL byte and
# symbolic links aside.
#
# bench/search.sh runs it on the kernel tree.
#
#   bash bench/regex_tree.sh     (RUNS=3; TREE=folder, else the kernel tree when there is one,
#                                 else /usr/include copied three times, bench/c_tree.sh;
#                                 VSR_SEARCH=path/to/vsr-search)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${RUNS:-3}"
command -v rg >/dev/null || { echo "The benchmark needs ripgrep: apt-get install -y ripgrep" >&2; exit 1; }
tree="${TREE:-}"
if [ -z "$tree" ]; then
  cache="${VSR_BENCH_CACHE:-$HOME/.cache/vsr-bench}"
  if [ -f "$cache/linux/.complete" ]; then tree="$cache/linux"; else tree="$(bash bench/c_tree.sh)"; fi
fi
source bench/find_vsr_search.sh build-spine
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# "wall cpu" seconds of one run; the output goes to a file, as a user's would.
time_once() {
  local TIMEFORMAT='%R %U %S' line
  line=$( { time "$@" >"$tmp/out" 2>/dev/null; } 2>&1 | tail -n 1 )
  awk '{printf "%s %.3f\n", $1, $2 + $3}' <<<"$line"
}
median_of() { sort -g | awk '{a[NR]=$1} END {printf "%.3f", (NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2}'; }
declare -A wall cpu
interleaved() {
  local tools=("$@") n=$# t r k line
  local -A walls cpus
  for t in "${tools[@]}"; do "$t" >"$tmp/out" 2>&1 || true; done
  for ((r = 0; r < runs; r++)); do
    for ((k = 0; k < n; k++)); do
      t=${tools[$(((r + k) % n))]}
      line=$(time_once "$t")
      walls[$t]+="${line% *} "
      cpus[$t]+="${line#* } "
    done
  done
  for t in "${tools[@]}"; do
    wall[$t]=$(tr ' ' '\n' <<<"${walls[$t]}" | grep . | median_of)
    cpu[$t]=$(tr ' ' '\n' <<<"${cpus[$t]}" | grep . | median_of)
  done
}

# label | vsr flags | rg flags | expression (the same text for both tools)
rows=(
  "lock call|--case|-s|[a-z]+_lock\\("
  "suspend names|--case|-s|\\w+_SUSPEND"
  "static int function|--case|-s|static\\s+int\\s+\\w+\\("
  "assignment, groups|--case|-s|(\\w+)\\s*=\\s*(\\w+);"
  "ignore case||-i|\\w+_suspend"
  "alternation of words|--case|-s|(mutex_lock|spin_lock|kfree)\\("
)
# Left out of the comparison: files with a NUL byte, and symbolic links, which vsr-search
# follows and ripgrep (without -L) does not.
{ rg -uu -a -l '\x00' "$tree" 2>/dev/null || true; find "$tree" -type l; } | sort -u >"$tmp/binary"
echo "tree: $tree ($(find "$tree" -type f | wc -l) files, $(du -sh "$tree" | cut -f1)); median of $runs rounds; load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-22s %8s %8s %8s %8s   %-9s %-9s %8s %8s %8s %8s  %s\n' "expression" "vsr -t1" "rg -j1" "vsr" "rg" \
  "-t1/rg-j1" "vsr/rg" "cpu -t1" "cpu rgj1" "cpu vsr" "cpu rg" "counts"
fail=0
for row in "${rows[@]}"; do
  IFS='|' read -r label vflags rflags expr <<<"$row"
  # The alternation row holds "|" itself: take the expression as the rest of the row.
  expr="${row#*|*|*|}"
  read -r -a va <<<"$vflags"
  read -r -a ra <<<"$rflags"
  vsr_t1() { "$vsr" --threads 1 --codepage utf-8 --path "$tree" --type regex "${va[@]}" --query "$expr"; }
  vsr_default() { "$vsr" --codepage utf-8 --path "$tree" --type regex "${va[@]}" --query "$expr"; }
  rg_j1() { rg -j1 -uu --count-matches "${ra[@]}" -e "$expr" "$tree"; }
  rg_default() { rg -uu --count-matches "${ra[@]}" -e "$expr" "$tree"; }
  interleaved vsr_t1 rg_j1 vsr_default rg_default
  "$vsr" --codepage utf-8 --path "$tree" --type regex "${va[@]}" --query "$expr" 2>/dev/null | sort >"$tmp/vsr" || true
  rg -uu -U --null --count-matches "${ra[@]}" -e "$expr" "$tree" 2>/dev/null | tr '\0' '\t' | sort |
    comm -23 - <(sed 's/$/\t/' "$tmp/binary") >"$tmp/rg" || true
  differ=$(comm -3 "$tmp/vsr" "$tmp/rg" | sed 's/^\t//' | cut -f1 | sort -u | comm -23 - "$tmp/binary" | wc -l)
  if [ "$differ" = 0 ]; then counts="equal ($(wc -l <"$tmp/vsr") files)"; else counts="$differ FILES DIFFER"; fail=1; fi
  printf '%-22s %8s %8s %8s %8s   %-9s %-9s %8s %8s %8s %8s  %s\n' "$label" "${wall[vsr_t1]}" "${wall[rg_j1]}" \
    "${wall[vsr_default]}" "${wall[rg_default]}" \
    "$(awk -v a="${wall[vsr_t1]}" -v b="${wall[rg_j1]}" 'BEGIN {printf "%.2f", a/b}')" \
    "$(awk -v a="${wall[vsr_default]}" -v b="${wall[rg_default]}" 'BEGIN {printf "%.2f", a/b}')" \
    "${cpu[vsr_t1]}" "${cpu[rg_j1]}" "${cpu[vsr_default]}" "${cpu[rg_default]}" "$counts"
  if [ "$differ" != 0 ]; then comm -3 "$tmp/vsr" "$tmp/rg" | head -4 >&2; fi
  # Target: no slower than ripgrep, single-threaded and with the default threads.
  awk -v a="${wall[vsr_t1]}" -v b="${wall[rg_j1]}" -v c="${wall[vsr_default]}" -v d="${wall[rg_default]}" \
    'BEGIN {exit !(a <= b && c <= d)}' || { echo "  target missed: $label above rg" >&2; fail=1; }
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $fail
