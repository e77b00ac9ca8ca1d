#!/usr/bin/env bash
# Times Lines Viewer fills of a 50 MB file with 100 000 matching lines in every query mode, and the
# longest stretch without processing messages (Stop acts within that time).
#
#   bash bench/lines_viewer.sh            (BUILD=build by default)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD:-build}"
cmake --build "$build" --target vsr-lines-bench >/dev/null
"$build/tools/vsr-lines-bench/vsr-lines-bench" "$@"
