#!/bin/bash
# Builds and runs every benchmark; prints their BENCH lines.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native --target engine_native_bench >/dev/null
build/native/bin/engine_native_bench
cmake --preset windows >/dev/null
cmake --build --preset windows >/dev/null
for bench in build/windows/bin/*_win32_bench.exe; do
  build/windows/wine-run "$bench" 2>/dev/null
done
build/windows/wine-run --stop
