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
cp examples/example.Orq examples/example.ini build/windows/bin/Orqex.exe "$drive_c/OrqexExample/"
wine_run=$(pwd)/$wine_run
set +e
# Run from the script's folder: the INI commands find example.ini in the current folder.
(cd "$drive_c/OrqexExample" &&
 "$wine_run" 'C:\OrqexExample\Orqex.exe' '/Script=C:\OrqexExample\example.Orq' '/Log=C:\OrqexExample\example.log' /Quiet)
code=$?
set -e
echo "--- C:\\OrqexExample\\example.log ---"
tr -d '\r' < "$drive_c/OrqexExample/example.log"
echo "--- HKLM\\Software\\OrqexExample (read back with reg query) ---"
"$wine_run" reg query 'HKLM\Software\OrqexExample' /s 2>/dev/null | tr -d '\r' || true
echo "--- C:\\OrqexExample\\example.ini ---"
tr -d '\r' < "$drive_c/OrqexExample/example.ini"
echo "--- Orqex exit code: $code"
"$wine_run" --stop
exit "$code"
