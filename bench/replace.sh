#!/usr/bin/env bash
# Times a phrase replacement over a fresh copy of a kernel subtree: vsr-search (backups off and
# on) against `sed -i` and `perl -pi` over the same files, in the same run. Every timed run starts
# from a fresh copy whose cost is measured apart and not counted. sed and perl are handed the
# list of files that hold the phrase (made beforehand, untimed), which is the quickest way they
# can be used; vsr-search finds those files itself. After the timing, the trees that vsr-search
# and sed produced are compared byte for byte. vsr-search flushes its rewrites to disk (one flush per
# batch of files) before it renames them over the originals; sed and perl do not flush at all.
#
# Then the dry run (--dry-run: the same modification printed as a unified diff, nothing written)
# against the search alone over the untouched tree, with a 1.2 target.
#
# With VSR_BEFORE=path/to/an/older/vsr-search, that binary takes its turns beside this one (backups
# off), its ratio to this one is printed, and its tree is compared with this one's too.
#
#   bash bench/replace.sh      (RUNS=3, SUBTREE=drivers/net by default; VSR_SEARCH=path/to/vsr-search;
#                               SRC=folder to copy and rewrite instead of the kernel subtree)
#   ONLY=dry-run bash bench/replace.sh      (the dry-run figure alone)
set -euo pipefail
cd "$(dirname "$0")/.."

runs="${RUNS:-3}"
subtree="${SUBTREE:-drivers/net}"
from="static int"
to="static long"

command -v perl >/dev/null && command -v sed >/dev/null || { echo "needs sed and perl" >&2; exit 1; }
if [ -n "${SRC:-}" ]; then
  src="$SRC"
  subtree="$SRC"
else
  corpus="$(bash bench/corpus.sh)"
  src="$corpus/$subtree"
fi
before="${VSR_BEFORE:-}"

source bench/find_vsr_search.sh build-modify

tmp="$(mktemp -d "${TMPDIR:-/tmp}/vsr-replace-XXXXXX")"
trap 'rm -rf "$tmp"' EXIT
work="$tmp/work"

fresh() { rm -rf "$work"; cp -a "$src" "$work"; }

# The files sed and perl are given: those holding the phrase, relative to the tree.
(cd "$src" && grep -rlF -- "$from" . | LC_ALL=C sort) >"$tmp/files"
nfiles=$(find "$src" -type f | wc -l)
nmatch=$(wc -l <"$tmp/files")

run_vsr() { "$vsr" --path "$work" --query "$from" --case --modify replace --replace "$to" --separator unix "$@"; }
run_before() { "$before" --path "$work" --query "$from" --case --modify replace --replace "$to" --separator unix "$@"; }
run_sed() { (cd "$work" && xargs -d '\n' sed -i "s/$from/$to/g" <"$tmp/files"); }
run_perl() { (cd "$work" && xargs -d '\n' perl -pi -e "s/\\Q$from\\E/$to/g" <"$tmp/files"); }

med() { sort -g | awk '{a[NR]=$1} END {printf "%.3f", (NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2}'; }

# One timed run on a fresh copy: prints "wall cpu" (cpu = user + system seconds).
time_once() {
  local TIMEFORMAT='%R %U %S' line
  fresh
  sync
  line=$( { time "$@" >"$tmp/out" 2>&1; } 2>&1 | tail -n 1 )
  awk '{print $1, $2 + $3}' <<<"$line"
}

# The tools take turns, and the order rotates every round: each copy deletes the previous one,
# and a file system that has just freed thousands of inodes allocates new ones more slowly, so
# running one tool's rounds back to back would favour whichever tool went first.
tools=(run_sed run_perl run_vsr "run_vsr --backups")
[ -z "$before" ] || tools+=(run_before)
declare -A walls cpus
measure_all() {
  local t
  for t in "${tools[@]}"; do fresh; $t >"$tmp/out" 2>&1 || true; done  # warm-up
  for ((i = 0; i < runs; i++)); do
    for ((k = 0; k < ${#tools[@]}; k++)); do
      t=${tools[$(((k + i) % ${#tools[@]}))]}
      read -r w c < <(time_once $t)
      walls[$t]+="$w "
      cpus[$t]+="$c "
    done
  done
}
median_of() { tr ' ' '\n' <<<"$1" | grep . | med; }

copy_cost() {
  local walls=() line
  local TIMEFORMAT='%R'
  for ((i = 0; i < runs; i++)); do
    rm -rf "$work"
    line=$( { time cp -a "$src" "$work"; } 2>&1 | tail -n 1 )
    walls+=("$line")
  done
  printf '%s\n' "${walls[@]}" | med
}

# The dry run against the search alone: both only read the tree, so no copy is needed. Each round
# runs both, in turns, after one warm-up of each.
dry_run_figure() {
  local TIMEFORMAT='%R %U %S' line w c
  local -a sw sc dw dc
  run_search() { "$vsr" --path "$src" --query "$from" --case; }
  run_dry() { "$vsr" --path "$src" --query "$from" --case --modify replace --replace "$to" --separator unix --dry-run; }
  run_search >"$tmp/out" 2>&1 || true
  run_dry >"$tmp/out" 2>&1 || true
  for ((i = 0; i < runs; i++)); do
    for t in run_search run_dry; do
      line=$( { time $t >"$tmp/out" 2>&1; } 2>&1 | tail -n 1 )
      read -r w c < <(awk '{print $1, $2 + $3}' <<<"$line")
      if [ "$t" = run_search ]; then sw+=("$w"); sc+=("$c"); else dw+=("$w"); dc+=("$c"); fi
    done
  done
  local msw msc mdw mdc
  msw=$(printf '%s\n' "${sw[@]}" | med); msc=$(printf '%s\n' "${sc[@]}" | med)
  mdw=$(printf '%s\n' "${dw[@]}" | med); mdc=$(printf '%s\n' "${dc[@]}" | med)
  local lines
  lines=$(run_dry 2>/dev/null | grep -c '^+++ ' || true)
  echo "dry run ($lines files in the diff) against the search alone, $runs runs each, medians:"
  printf '%-28s %8s %8s\n' "" "wall s" "cpu s"
  printf '%-28s %8.3f %8.3f\n' "search alone" "$msw" "$msc"
  printf '%-28s %8.3f %8.3f\n' "--dry-run" "$mdw" "$mdc"
  printf 'dry run / search: wall %.2f, cpu %.2f (target 1.2)\n' "$(awk "BEGIN{print $mdw/$msw}")" "$(awk "BEGIN{print $mdc/$msc}")"
}

echo "corpus: $subtree ($nfiles files, $nmatch holding \"$from\"), $runs runs each, medians"
if [ "${ONLY:-}" = dry-run ]; then
  dry_run_figure
  exit 0
fi
echo "copy of the tree (not counted below): $(copy_cost) s"
measure_all
sw=$(median_of "${walls[run_sed]}"); sc=$(median_of "${cpus[run_sed]}")
pw=$(median_of "${walls[run_perl]}"); pc=$(median_of "${cpus[run_perl]}")
vw=$(median_of "${walls[run_vsr]}"); vc=$(median_of "${cpus[run_vsr]}")
bw=$(median_of "${walls[run_vsr --backups]}"); bc=$(median_of "${cpus[run_vsr --backups]}")
printf '%-28s %8s %8s %10s %10s\n' "tool" "wall s" "cpu s" "wall/sed" "cpu/sed"
row() { printf '%-28s %8.3f %8.3f %10.2f %10.2f\n' "$1" "$2" "$3" "$(awk "BEGIN{print $2/$sw}")" "$(awk "BEGIN{print $3/$sc}")"; }
row "sed -i" "$sw" "$sc"
row "perl -pi" "$pw" "$pc"
row "vsr-search, backups off" "$vw" "$vc"
row "vsr-search, backups on" "$bw" "$bc"
if [ -n "$before" ]; then
  ow=$(median_of "${walls[run_before]}"); oc=$(median_of "${cpus[run_before]}")
  row "before, backups off" "$ow" "$oc"
  printf 'this checkout against before (backups off): wall %.2f, cpu %.2f\n' \
    "$(awk "BEGIN{print $vw/$ow}")" "$(awk "BEGIN{print $vc/$oc}")"
fi

# Same bytes as sed: both trees are made once more and compared.
fresh; run_vsr >"$tmp/out" 2>&1 || true; mv "$work" "$tmp/by-vsr"
if [ -n "$before" ]; then
  fresh; run_before >"$tmp/out" 2>&1 || true; mv "$work" "$tmp/by-before"
  if diff -r -q "$tmp/by-vsr" "$tmp/by-before" >/dev/null; then
    echo "check: the tree rewritten by this checkout equals the one rewritten by the one before"
  else
    echo "check: FAILED, this checkout and the one before wrote different trees:" >&2
    diff -r -q "$tmp/by-vsr" "$tmp/by-before" | head >&2
    exit 1
  fi
  rm -rf "$tmp/by-before"
fi
fresh; run_sed; mv "$work" "$tmp/by-sed"
if diff -r -q "$tmp/by-vsr" "$tmp/by-sed" >/dev/null; then
  echo "check: the tree rewritten by vsr-search equals the one rewritten by sed -i"
else
  echo "check: FAILED, the trees differ:" >&2
  diff -r -q "$tmp/by-vsr" "$tmp/by-sed" | head >&2
  exit 1
fi

dry_run_figure
