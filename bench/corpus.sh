#!/usr/bin/env bash
# Prints the folder of the benchmark corpus (a Linux kernel source tree), making it first when missing.
# The tree is unpacked once into a cache folder outside the repository.
set -euo pipefail
cache="${VSR_BENCH_CACHE:-$HOME/.cache/vsr-bench}"
tree="$cache/linux"
if [ ! -f "$tree/.complete" ]; then
  tarball=$(ls /usr/src/linux-source-*.tar.* 2>/dev/null | sort -V | tail -n 1 || true)
  if [ -z "$tarball" ]; then
    if [ "$(id -u)" != 0 ]; then
      echo "The benchmark needs Debian's linux-source package: sudo apt-get install -y linux-source" >&2
      exit 1
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq linux-source >&2
    tarball=$(ls /usr/src/linux-source-*.tar.* | sort -V | tail -n 1)
  fi
  rm -rf "$tree"
  mkdir -p "$tree"
  echo "Unpacking $tarball into $tree ..." >&2
  tar -xf "$tarball" -C "$tree" --strip-components=1
  touch "$tree/.complete"
fi
echo "$tree"
