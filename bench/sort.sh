#!/usr/bin/env bash
# Sorting speed of the results list: a header click on every column of 100,000 rows.
# Usage: bench/sort.sh [ROWS] [RUNS]   (environment: BUILD=build folder)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${BUILD:-$root/build}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target vsr-sort-bench -j 2 >/dev/null
exec "$build/tools/vsr-sort-bench/vsr-sort-bench" "${1:-100000}" "${2:-5}"
