#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a fixed time, starting from its seed corpus, as many
# targets at once as the machine has processors (FUZZ_JOBS to choose).
# Usage: fuzz/run.sh BUILD [SECONDS]. A crash, a sanitizer report, a leak or an input that runs
# longer than 10 s fails the run; the input that did it is kept in BUILD/fuzz-findings/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: fuzz/run.sh BUILD [SECONDS]}
seconds=${2:-30}
jobs=${FUZZ_JOBS:-$(nproc)}
findings="$build/fuzz-findings"
mkdir -p "$findings"
shopt -s nullglob
targets=("$build"/fuzz/fuzz_*)
[ ${#targets[@]} -gt 0 ] || { echo "No fuzz targets in $build/fuzz" >&2; exit 1; }

# Runs one target; its report goes to BUILD/fuzz-NAME.report, printed once all are done, and a
# failure leaves BUILD/fuzz-NAME.failed.
fuzz_one() {
  local exe=$1 name=${1##*/fuzz_}
  local seeds="$root/fuzz/corpus/$name" report="$build/fuzz-$name.report" log="$build/fuzz-$name.log"
  if [ ! -d "$seeds" ]; then
    echo "fuzz_$name: no seed corpus in $seeds" >"$report"
    touch "$build/fuzz-$name.failed"
    return
  fi
  # New inputs go to a scratch folder; the seeds in the repository are only read.
  local work
  work=$(mktemp -d)
  echo "fuzz_$name: ${seconds}s from $(ls "$seeds" | wc -l) seeds" >"$report"
  if "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$findings/$name-" "$work" "$seeds" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^stat::new_units_added' "$log" | sed "s/^/fuzz_$name: /" >>"$report" || true
  else
    { echo "fuzz_$name FAILED; the last lines of $log:"; tail -n 40 "$log"; ls "$findings"; } >>"$report"
    touch "$build/fuzz-$name.failed"
  fi
  rm -rf "$work"
}

rm -f "$build"/fuzz-*.failed "$build"/fuzz-*.report
for exe in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  fuzz_one "$exe" &
done
wait
status=0
for exe in "${targets[@]}"; do
  name=${exe##*/fuzz_}
  cat "$build/fuzz-$name.report"
  [ ! -e "$build/fuzz-$name.failed" ] || status=1
done
[ $status = 0 ] || echo "fuzzing FAILED (see above)" >&2
exit $status
