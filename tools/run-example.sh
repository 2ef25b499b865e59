#!/bin/bash
# Builds Orqex.exe and OrqCab.exe and runs the two example scripts under Wine: the first records
# a product in the registry and an INI file, the second installs a cabinet through OrqCab.
# Prints the exit codes, the logs and what was written.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Orqex OrqCab make_cabinet
wine_run=build/windows/wine-run
# Switch values end at "/" or "-", so the script goes to a plain folder of the prefix.
"$wine_run" cmd /c exit 0 >/dev/null 2>&1 || true
drive_c=build/windows/wineprefix/drive_c
rm -rf "$drive_c/OrqexExample" && mkdir -p "$drive_c/OrqexExample"
cp examples/example.Orq examples/example.ini examples/cabinet.Orq build/windows/bin/Orqex.exe \
   build/windows/bin/OrqCab.exe build/windows/bin/OrqCab.tlb build/windows/bin/OrqexAgent.tlb \
   "$drive_c/OrqexExample/"
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

# The cabinet: made with the test cabinet writer, installed through OrqCab.
"$wine_run" 'C:\OrqexExample\OrqCab.exe' /RegServer
"$wine_run" build/windows/bin/make_cabinet.exe 'C:\OrqexExample\example.cab' readme.txt=120 \
  'docs\guide.txt=4000'
params=$(printf 'cabfolder="installed"' | od -An -tx1 | tr -d ' \n')
set +e
(cd "$drive_c/OrqexExample" &&
 "$wine_run" 'C:\OrqexExample\Orqex.exe' '/Script=C:\OrqexExample\cabinet.Orq' \
   '/Log=C:\OrqexExample\cabinet.log' "/Params=$params" /Quiet)
cabinet_code=$?
set -e
echo "--- C:\\OrqexExample\\cabinet.log ---"
tr -d '\r' < "$drive_c/OrqexExample/cabinet.log"
echo "--- C:\\OrqexExample\\installed ---"
(cd "$drive_c/OrqexExample/installed" && find . -type f -printf '%p %s bytes\n' | sort)
echo "--- HKLM\\SOFTWARE\\Orqex\\OrqCab (the last-update record) ---"
"$wine_run" reg query 'HKLM\SOFTWARE\Orqex\OrqCab' 2>/dev/null | tr -d '\r' || true
echo "--- Orqex exit code for the cabinet: $cabinet_code"
"$wine_run" --stop
[ "$code" -eq 0 ] && exit "$cabinet_code"
exit "$code"
