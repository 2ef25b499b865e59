#!/bin/bash
# Builds and runs the registry benchmark under Wine and prints its BENCH lines (the run's
# details go to stderr). Takes about three minutes: the "reg add" batch starts 1,000
# processes per run.
#   ORQ_BUILD_DIR   the Windows build folder (default build/windows)
#   arguments       optional: engine runs, tool runs (default 7 and 3)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${ORQ_BUILD_DIR:-build/windows}"
[ -f "$build/build.ninja" ] || cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j2 --target registry_win32_bench >/dev/null
"$build/wine-run" "$build/bin/registry_win32_bench.exe" "$@"
"$build/wine-run" --stop
