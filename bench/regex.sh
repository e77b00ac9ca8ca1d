#!/usr/bin/env bash
# Regular-expression speed: TVxRegex against std::regex (ECMAScript) and PCRE2 (interpreted and
# JIT) on ~50 MB of C source from the kernel corpus, line by line, counting matches.
# Usage: bench/regex.sh [RUNS] [STD_RUNS]   (environment: BUILD=build folder, SIZE_MB=50; TREE=folder to
#        take the C source from, else the kernel tree when there is one, else bench/c_tree.sh;
#        BENCH=path/to/vsr-regex-bench, for an older build's driver, without building)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build="${BUILD:-$root/build}"
size_mb="${SIZE_MB:-50}"
runs="${1:-3}"
std_runs="${2:-1}"

cache="${VSR_BENCH_CACHE:-$HOME/.cache/vsr-bench}"
corpus="${TREE:-}"
if [ -z "$corpus" ]; then
  if [ -f "$cache/linux/.complete" ]; then corpus="$cache/linux"; else corpus="$(bash "$here/c_tree.sh")"; fi
fi
# A sample of another tree is another sample: its name says which.
tag=""
[ "$corpus" = "$cache/linux" ] || tag="-$(basename "$corpus")"
sample="$cache/regex-sample-${size_mb}mb$tag.c"
if [ ! -s "$sample" ]; then
  echo "Collecting ${size_mb} MB of C source from $corpus ..." >&2
  limit=$((size_mb * 1000000))
  # A fixed order keeps the sample the same from run to run.
  (cd "$corpus" && find . -type f \( -name '*.c' -o -name '*.h' \) -print0 | LC_ALL=C sort -z |
     xargs -0 cat 2>/dev/null) | head -c "$limit" > "$sample.tmp" || true  # head ends the pipe early
  [ -s "$sample.tmp" ] || { echo "No C source found in $corpus" >&2; exit 1; }
  mv "$sample.tmp" "$sample"
fi

bench="${BENCH:-}"
if [ -z "$bench" ]; then
  if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$build" --target vsr-regex-bench -j 2 >/dev/null
  bench="$build/tools/vsr-regex/vsr-regex-bench"
fi
# The load beside the figures: wall times on a busy machine say little without it.
echo "sample: $sample ($(du -m "$sample" | cut -f1) MB); load before: $(uptime)"
"$bench" "$sample" "$runs" "$std_runs"
echo "load after: $(uptime)"
