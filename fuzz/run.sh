#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a fixed time, starting from its seed corpus.
# Usage: fuzz/run.sh BUILD [SECONDS]. A crash, a sanitizer report, a leak or an input that runs
# longer than 10 s fails the run; the input that did it is kept in BUILD/fuzz-findings/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: fuzz/run.sh BUILD [SECONDS]}
seconds=${2:-60}
findings="$build/fuzz-findings"
mkdir -p "$findings"
status=0
shopt -s nullglob
targets=("$build"/fuzz/fuzz_*)
[ ${#targets[@]} -gt 0 ] || { echo "No fuzz targets in $build/fuzz" >&2; exit 1; }
for exe in "${targets[@]}"; do
  name=${exe##*/fuzz_}
  seeds="$root/fuzz/corpus/$name"
  [ -d "$seeds" ] || { echo "fuzz_$name: no seed corpus in $seeds" >&2; status=1; continue; }
  # New inputs go to a scratch folder; the seeds in the repository are only read.
  work=$(mktemp -d)
  log="$build/fuzz-$name.log"
  echo "fuzz_$name: ${seconds}s from $(ls "$seeds" | wc -l) seeds"
  if "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$findings/$name-" "$work" "$seeds" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^stat::new_units_added' "$log" | sed "s/^/fuzz_$name: /" || true
  else
    echo "fuzz_$name FAILED; the last lines of $log:" >&2
    tail -n 40 "$log" >&2
    ls "$findings" >&2
    status=1
  fi
  rm -rf "$work"
done
exit $status
