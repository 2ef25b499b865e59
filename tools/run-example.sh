#!/bin/bash
# Builds Orqex.exe and runs the example script under Wine; prints the exit code and the log.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Orqex
wine_run=build/windows/wine-run
# Switch values end at "/" or "-", so the script goes to a plain folder of the prefix.
"$wine_run" cmd /c exit 0 >/dev/null 2>&1 || true
drive_c=build/windows/wineprefix/drive_c
rm -rf "$drive_c/OrqexExample" && mkdir -p "$drive_c/OrqexExample"
cp examples/example.Orq "$drive_c/OrqexExample/"
cp build/windows/bin/Orqex.exe "$drive_c/OrqexExample/"
set +e
"$wine_run" 'C:\OrqexExample\Orqex.exe' '/Script=C:\OrqexExample\example.Orq' '/Log=C:\OrqexExample\example.log' /Quiet
code=$?
set -e
echo "--- C:\\OrqexExample\\example.log ---"
tr -d '\r' < "$drive_c/OrqexExample/example.log"
echo "--- Orqex exit code: $code"
"$wine_run" --stop
exit "$code"
