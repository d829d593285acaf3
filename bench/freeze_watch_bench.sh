#!/usr/bin/env bash
# The freeze watcher's own processor time per minute while the program idles:
# FreezeWatchBench.exe under Wine, its watcher's Linux thread read from /proc (nanoseconds,
# where Wine's GetThreadTimes counts in 10 ms steps): freeze_watch_bench.sh WIN32_BUILD
set -euo pipefail
build=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
exec /usr/bin/python3 "$top/bench/freeze_watch_bench.py" "$top/cmake/wine-run.sh" \
  "$build/bench/FreezeWatchBench.exe"
