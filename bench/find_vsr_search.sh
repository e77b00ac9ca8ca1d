# Sourced by the benchmarks: sets `vsr` to the vsr-search binary, from VSR_SEARCH, from an existing
# build folder (the ones named in the arguments after build/), or by building it in build/.
vsr="${VSR_SEARCH:-}"
if [ -z "$vsr" ]; then
  for b in build "$@"; do
    if [ -x "$b/tools/vsr-search/vsr-search" ]; then vsr="$b/tools/vsr-search/vsr-search"; break; fi
  done
fi
if [ -z "$vsr" ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build --target vsr-search >&2
  vsr=build/tools/vsr-search/vsr-search
fi
