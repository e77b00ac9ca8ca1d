#!/usr/bin/env bash
# Prints the folder of a large tree of C source for the benchmarks that need no kernel tree:
# /usr/include copied COPIES times (default 3) into the cache folder, made once.
set -euo pipefail
cache="${VSR_BENCH_CACHE:-$HOME/.cache/vsr-bench}"
copies="${COPIES:-3}"
tree="$cache/c-tree-$copies"
if [ ! -f "$tree/.complete" ]; then
  rm -rf "$tree"
  mkdir -p "$tree"
  echo "Copying /usr/include $copies times into $tree ..." >&2
  for ((k = 1; k <= copies; k++)); do
    # Links to files outside the copy would be searched by one tool and not the other.
    cp -r --no-dereference /usr/include "$tree/include-$k"
  done
  find "$tree" -type l -delete
  touch "$tree/.complete"
fi
echo "$tree"
