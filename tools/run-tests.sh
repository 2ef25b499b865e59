#!/bin/bash
# Builds and runs every test suite: the OS-free code natively under sanitizers, the program
# and its tests under Wine, and a short smoke of every fuzz target; then compiles the 32-bit
# program.
set -uo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh || exit 1
passed=0
failed=0
status=0
for preset in native windows fuzz; do
  echo "=== $preset ==="
  out=$(mktemp)
  cmake --workflow --preset "$preset" 2>&1 | tee "$out"
  rc=${PIPESTATUS[0]}
  [ "$rc" -eq 0 ] || status=1
  # "100% tests passed, 0 tests failed out of 44"
  summary=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$out" | tail -1)
  if [ -n "$summary" ]; then
    f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$summary")
    t=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$summary")
    passed=$((passed + t - f))
    failed=$((failed + f))
  elif [ "$rc" -ne 0 ]; then
    failed=$((failed + 1))
  fi
  rm -f "$out"
done
build/windows/wine-run --stop 2>/dev/null || true
# The 32-bit program is compiled, not run (32-bit Wine cannot run here): one step, outside
# the test counts.
echo "=== windows32 (compiled only) ==="
if cmake --preset windows32 && cmake --build --preset windows32; then
  build32="compiled"
else
  build32="FAILED to compile"
  status=1
fi
echo "${passed} passed, ${failed} failed; 32-bit build ${build32}"
exit "$status"
