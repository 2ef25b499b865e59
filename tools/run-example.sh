#!/bin/bash
# Builds what is missing and runs the examples under Wine, as a new user would see them:
#   1. examples/example.Orq records a product in the registry and an INI file;
#   2. examples/cabinet.Orq installs a cabinet through OrqCab;
#   3. examples/product/product.Orq, the real job: /Check, /WhatIf, the install and the
#      uninstall of the OrqDemo product, each with its exit code and a read-back of the machine.
# Exits with 0 only when every step did and nothing of the product is left after the uninstall.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Orqex OrqCab make_cabinet orqdemo test_agent
wine_run=build/windows/wine-run
# Switch values end at "/" or "-", so the scripts go to plain folders of the prefix.
"$wine_run" cmd /c exit 0 >/dev/null 2>&1 || true
drive_c=build/windows/wineprefix/drive_c
rm -rf "$drive_c/OrqexExample" && mkdir -p "$drive_c/OrqexExample"
cp examples/example.Orq examples/example.ini examples/cabinet.Orq build/windows/bin/Orqex.exe \
   build/windows/bin/OrqCab.exe build/windows/bin/OrqCab.tlb build/windows/bin/OrqexAgent.tlb \
   build/windows/bin/test_agent.exe "$drive_c/OrqexExample/"
wine_run=$(pwd)/$wine_run
failed=0
# A log's messages without the date, time and process columns.
messages() { tr -d '\r' < "$1" | sed -E 's/^[0-9-]+ [0-9:]+ +\\Orqex:[0-9a-f]+ //'; }

echo "=== 1. example.Orq: a product recorded in the registry and an INI file"
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
[ "$code" -eq 0 ] || failed=1

echo "=== 2. cabinet.Orq: a cabinet installed through OrqCab"
# Registers OrqCab, its type library and the agent interfaces' one (the agent below needs it).
"$wine_run" 'C:\OrqexExample\OrqCab.exe' /RegServer
"$wine_run" build/windows/bin/make_cabinet.exe 'C:\OrqexExample\example.cab' readme.txt=120 \
  'docs\guide.txt=4000'
params=$(printf 'cabfolder="installed"' | od -An -tx1 | tr -d ' \n')
set +e
(cd "$drive_c/OrqexExample" &&
 "$wine_run" 'C:\OrqexExample\Orqex.exe' '/Script=C:\OrqexExample\cabinet.Orq' \
   '/Log=C:\OrqexExample\cabinet.log' "/Params=$params" /Quiet)
code=$?
set -e
echo "--- C:\\OrqexExample\\cabinet.log ---"
tr -d '\r' < "$drive_c/OrqexExample/cabinet.log"
echo "--- C:\\OrqexExample\\installed ---"
(cd "$drive_c/OrqexExample/installed" && find . -type f -printf '%p %s bytes\n' | sort)
echo "--- HKLM\\SOFTWARE\\Orqex\\OrqCab (the last-update record) ---"
"$wine_run" reg query 'HKLM\SOFTWARE\Orqex\OrqCab' 2>/dev/null | tr -d '\r' || true
echo "--- Orqex exit code for the cabinet: $code"
[ "$code" -eq 0 ] || failed=1

echo "=== 3. product/product.Orq: OrqDemo installed as an update agent would, and removed"
setup="$drive_c/OrqDemoSetup"
rm -rf "$setup" && mkdir -p "$setup/payload"
cp examples/product/product.Orq "$setup/"
cp examples/product/payload/* build/windows/bin/orqdemo.exe "$setup/payload/"
product="$drive_c/Program Files/OrqDemo"
app_paths='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\orqdemo.exe'
service_key='HKLM\System\CurrentControlSet\Services\OrqDemoService'
script='/Script=C:\OrqDemoSetup\product.Orq'

# step <name> <Orqex switches...>: one run of the product script, its log in <name>.log.
step() {
  local name=$1
  shift
  set +e
  "$wine_run" 'C:\OrqexExample\Orqex.exe' "$script" "/Log=C:\\OrqDemoSetup\\$name.log" "$@"
  code=$?
  set -e
}
# agent_step <name> <Orqex switches...>: the same, started by an agent that records the
# progress reports and the final status it receives (the test agent of the test suite).
agent_step() {
  local name=$1
  shift
  set +e
  "$wine_run" 'C:\OrqexExample\test_agent.exe' "C:\\OrqDemoSetup\\$name.calls" "$script" \
    "/Log=C:\\OrqDemoSetup\\$name.log" "$@"
  code=$?
  set -e
  echo "--- what the agent received ---"
  tr -d '\r' < "$setup/$name.calls"
}

echo "--- /Check: the script is checked, nothing runs"
step check /Check /Quiet
messages "$setup/check.log"
echo "--- /Check exit code: $code"
[ "$code" -eq 0 ] || failed=1

echo "--- /WhatIf: what the install would change"
step whatif /WhatIf /Quiet
messages "$setup/whatif.log" | grep -i 'whatif' || true
echo "--- /WhatIf exit code: $code"
[ "$code" -eq 0 ] || failed=1

echo "--- Install (with the progress dialog)"
agent_step install
echo "--- the service, as the product's own tool reports it"
"$wine_run" 'C:\Program Files\OrqDemo\orqdemo.exe' 2>/dev/null | tr -d '\r' || true
"$wine_run" reg query "$service_key" 2>/dev/null | tr -d '\r' | grep -E 'ImagePath|Start|Description' || true
echo "--- the files in C:\\Program Files\\OrqDemo"
(cd "$product" && find . -type f -printf '%p %s bytes\n' | sort) || true
echo "--- orqdemo.ini"
tr -d '\r' < "$product/orqdemo.ini" || true
echo "--- the registry: HKLM\\Software\\OrqDemo and the PATH entry (App Paths)"
"$wine_run" reg query 'HKLM\Software\OrqDemo' 2>/dev/null | tr -d '\r' || true
"$wine_run" reg query "$app_paths" 2>/dev/null | tr -d '\r' || true
echo "--- the start-menu shortcut"
find "$drive_c" -name 'OrqDemo Status.lnk' -printf '%p %s bytes\n' 2>/dev/null || true
echo "--- Install exit code: $code"
[ "$code" -eq 0 ] || failed=1

echo "--- Uninstall"
agent_step uninstall /Section=Uninstall
echo "--- Uninstall exit code: $code"
[ "$code" -eq 0 ] || failed=1
echo "--- what is left of OrqDemo, read back"
left=0
check_gone() {  # check_gone <what> <command that succeeds when it is still there...>
  local what=$1
  shift
  if "$@" >/dev/null 2>&1; then
    echo "LEFT: $what"
    left=1
  else
    echo "gone: $what"
  fi
}
check_gone 'service OrqDemoService (its service key)' "$wine_run" reg query "$service_key"
check_gone 'registry key HKLM\Software\OrqDemo' "$wine_run" reg query 'HKLM\Software\OrqDemo'
check_gone 'PATH entry (App Paths\orqdemo.exe)' "$wine_run" reg query "$app_paths"
machine_path() {
  "$wine_run" reg query 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' \
    /v Path 2>/dev/null | grep -qi 'OrqDemo'
}
check_gone 'OrqDemo in the machine-wide Path' machine_path
check_gone 'folder C:\Program Files\OrqDemo and its files' test -e "$product"
shortcut() { [ -n "$(find "$drive_c" -name 'OrqDemo Status.lnk' 2>/dev/null)" ]; }
check_gone 'start-menu shortcut OrqDemo Status.lnk' shortcut
[ "$left" -eq 0 ] && echo "Nothing of OrqDemo is left." || failed=1

"$wine_run" --stop
exit "$failed"
