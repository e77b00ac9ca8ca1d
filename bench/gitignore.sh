#!/usr/bin/env bash
# What "Skip what .gitignore ignores" costs: a phrase search of the C tree of bench/c_tree.sh,
# linked into a git work tree of its own with a few .gitignore files (one at the top in the
# style of a large project's, one in each copy, some deeper), with --gitignore and without,
# alternating, and prints the median wall and CPU milliseconds of each and their ratio: once
# with patterns that ignore a few folders and kinds of file (fewer files are read), then with
# the same patterns made to match nothing (the same files are read; the difference is what
# the rules cost), and the walk alone with masks no file matches.
#
#   bash bench/gitignore.sh          (RUNS=7 by default; THREADS=1 by default)
set -euo pipefail
cd "$(dirname "$0")/.."

runs="${RUNS:-7}"
threads="${THREADS:-1}"
source bench/find_vsr_search.sh
tree="$(bash bench/c_tree.sh)"
work="$(mktemp -d "${TMPDIR:-/tmp}/vsr-gitignore.XXXXXX")"
trap 'rm -rf "$work"' EXIT
# Hard links: the copy costs no blocks, and the ignore files added do not touch the cached tree.
cp -al "$tree" "$work/tree"
git init -q "$work/tree"
cat >"$work/tree/.gitignore" <<'EOF'
# Build products
*.o
*.o.*
*.a
*.so
*.so.dbg
*.mod
*.mod.c
*.ko
*.orig
*.rej
*.patch
*.swp
*~
.*.cmd
/tags
/TAGS
/cscope.*
modules.order
Module.symvers
**/generated/
!.gitignore
/build/
/out/
*.[oa]
*.lst
*.tmp
core
vmlinux*
EOF
printf 'bits/\n*.tcc\n!keep.h\n' >"$work/tree/include-1/.gitignore"
printf 'linux/**/*.h\n!linux/*.h\n' >"$work/tree/include-2/.gitignore"
printf '/c++/\n' >"$work/tree/include-3/.gitignore"
for d in "$work"/tree/include-*/x86_64-linux-gnu "$work"/tree/include-*/linux/netfilter; do
  [ -d "$d" ] && printf '*.h.in\n/nothing-here/\n' >"$d/.gitignore"
done
echo "ignore files: $(find "$work/tree" -name .gitignore | wc -l)" >&2

# run [--gitignore]: prints "<files> <ms> <cpu_ms>"
run() {
  local err
  err="$("$vsr" --path "$work/tree" --query include --threads "$threads" "${extra[@]}" "$@" 2>&1 >/dev/null | tail -1 || true)"
  echo "$err" | sed -E 's/^files=([0-9]+) .*ms=([0-9]+) cpu_ms=([0-9]+)$/\1 \2 \3/'
}
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# measure LABEL: the medians of RUNS runs each way, alternating, and their ratio.
measure() {
  run >/dev/null
  run --gitignore >/dev/null
  : >"$work/off" && : >"$work/on"
  for ((i = 0; i < runs; i++)); do
    run >>"$work/off"
    run --gitignore >>"$work/on"
  done
  local kind files ms cpu
  for kind in off on; do
    files=$(awk '{ print $1 }' "$work/$kind" | head -1)
    ms=$(awk '{ print $2 }' "$work/$kind" | median)
    cpu=$(awk '{ print $3 }' "$work/$kind" | median)
    printf '%-28s %-3s files=%s ms=%s cpu_ms=%s\n' "$1" "$kind" "$files" "$ms" "$cpu"
    eval "${kind}_ms=$ms ${kind}_cpu=$cpu"
  done
  awk -v l="$1" -v a="$on_ms" -v b="$off_ms" -v c="$on_cpu" -v d="$off_cpu" \
    'BEGIN { printf "%-28s on/off: wall %.3f, cpu %.3f\n", l, a / b, c / d }'
}

extra=()
measure "patterns that ignore some"
# The same files with every pattern made to match nothing: each file is then tested against
# every pattern, and both ways search the same files; what is left is the cost of the rules.
find "$work/tree" -name .gitignore -exec sed -i -E '/^(#|$)/!s/$/.none/' {} +
measure "patterns that ignore nothing"
# The walk alone: masks no file matches, so none is read and the rules are all that differs.
extra=(--masks '*.none')
measure "walk only, ignoring nothing"
