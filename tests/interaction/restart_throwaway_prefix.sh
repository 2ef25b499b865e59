#!/bin/bash
# A real restart, in a Wine prefix made for this test alone and removed after it: the reboot
# flags that SETREBOOTFLAG writes are there after the run and gone after the restart, and
# PROMPTREBOOT's real shutdown request in quiet mode lets the run go on and succeed.
#   restart_throwaway_prefix.sh <source folder> <build folder>
set -eu
source_dir=$1
build_dir=$2
prefix="$build_dir/throwaway-restart-prefix"
run() { ORQ_WINEPREFIX="$prefix" "$source_dir/tools/wine-run.sh" "$@"; }
cleanup() {
  run --stop >/dev/null 2>&1 || true
  rm -rf "$prefix" "$prefix.lock"
}
[ -n "${ORQ_KEEP_PREFIX:-}" ] || trap cleanup EXIT
cleanup
fail() {
  echo "FAILED: $*"
  exit 1
}

run cmd /c exit 0 >/dev/null 2>&1 || true  # makes the prefix
windows="$prefix/drive_c/windows"
mkdir -p "$windows/Tevlin/Agent" "$prefix/drive_c/orqrestart"
cp "$build_dir/bin/Orqex.exe" "$prefix/drive_c/orqrestart/"
printf '[DefaultInstall]\r\nSETREBOOTFLAG REINSTALL_ENGINE\r\nSETREBOOTFLAG product\r\nPROMPTREBOOT Restart now?\r\nSET After=1\r\n' \
  > "$prefix/drive_c/orqrestart/restart.Orq"
set +e
run 'C:\orqrestart\Orqex.exe' '/Script=C:\orqrestart\restart.Orq' \
  '/Log=C:\orqrestart\run.log' /Quiet
code=$?
set -e
tr -d '\r' < "$prefix/drive_c/orqrestart/run.log" | grep -q 'Executing line 5: SET After=1' ||
  fail "the run did not go on after PROMPTREBOOT"
[ "$code" -eq 0 ] || fail "exit code $code"
grep -q 'REINSTALL_ENGINE=1' "$windows/pendrainst.ini" || fail "pendrainst.ini not written"
grep -q 'product=1' "$windows/Tevlin/Agent/Reboot.ini" || fail "Reboot.ini not written"

# The restart: the server ends, and the next start carries out the pending operations.
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
run wineboot -r >/dev/null 2>&1 || true
run cmd /c exit 0 >/dev/null 2>&1 || true
[ ! -e "$windows/pendrainst.ini" ] || fail "pendrainst.ini survived the restart"
[ ! -e "$windows/Tevlin/Agent/Reboot.ini" ] || fail "Reboot.ini survived the restart"
echo "PASSED"
