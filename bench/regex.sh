#!/usr/bin/env bash
# Regular-expression speed: TVxRegex against std::regex (ECMAScript) and PCRE2 (interpreted and
# JIT) on ~50 MB of C source from the kernel corpus, line by line, counting matches.
# Usage: bench/regex.sh [RUNS] [STD_RUNS]   (environment: BUILD=build folder, SIZE_MB=50)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build="${BUILD:-$root/build}"
size_mb="${SIZE_MB:-50}"
runs="${1:-3}"
std_runs="${2:-1}"

corpus=$("$here/corpus.sh")
cache="${VSR_BENCH_CACHE:-$HOME/.cache/vsr-bench}"
sample="$cache/regex-sample-${size_mb}mb.c"
if [ ! -s "$sample" ]; then
  echo "Collecting ${size_mb} MB of C source from $corpus ..." >&2
  limit=$((size_mb * 1000000))
  # A fixed order keeps the sample the same from run to run.
  (cd "$corpus" && find . -type f \( -name '*.c' -o -name '*.h' \) -print0 | LC_ALL=C sort -z |
     xargs -0 cat 2>/dev/null) | head -c "$limit" > "$sample.tmp" || true  # head ends the pipe early
  [ -s "$sample.tmp" ] || { echo "No C source found in $corpus" >&2; exit 1; }
  mv "$sample.tmp" "$sample"
fi

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target vsr-regex-bench -j 2 >/dev/null
# The load beside the figures: wall times on a busy machine say little without it.
echo "load before: $(uptime)"
"$build/tools/vsr-regex/vsr-regex-bench" "$sample" "$runs" "$std_runs"
echo "load after: $(uptime)"
