#!/bin/bash
# A real restart of Windows, in a Wine prefix made for one family's test alone and removed
# after it (ending the shared prefix's server would end the other tests):
#   throwaway-prefix-restart.sh <source folder> <build folder> files|interaction
# runs the family's scheduling step, ends the prefix's server and every process in it,
# starts it again (which carries out what was scheduled for the next start) and runs the
# family's checking step.
set -eu
source_dir=$1 build_dir=$2 family=$3
prefix="$build_dir/throwaway-restart-$family"
run() { ORQ_WINEPREFIX="$prefix" "$source_dir/tools/wine-run.sh" "$@"; }
cleanup() {
  run --stop >/dev/null 2>&1 || true
  rm -rf "$prefix" "$prefix.lock" "$prefix.out"
}
[ -n "${ORQ_KEEP_PREFIX:-}" ] || trap cleanup EXIT
cleanup
fail() {
  echo "FAILED: $*"
  exit 1
}
run cmd /c exit 0 >/dev/null 2>&1 || true  # makes the prefix
windows="$prefix/drive_c/windows"

# files: the two steps are tests of the family's program, run only from here.
# (Output goes to a file: what a step leaves running would hold a pipe open.)
phase() {
  run "$build_dir/bin/orq_files_tests.exe" --gtest_also_run_disabled_tests \
    --gtest_filter="RestartPhase.DISABLED_$1" >"$prefix.out" 2>&1 </dev/null ||
    fail "step $1: $(cat "$prefix.out")"
  grep -q 'PASSED  \] 1 test' "$prefix.out" || fail "step $1 did not run: $(cat "$prefix.out")"
}

# interaction: the reboot flags are written, and PROMPTREBOOT's real shutdown request in
# quiet mode lets the run go on and succeed.
schedule_interaction() {
  mkdir -p "$windows/Tevlin/Agent" "$prefix/drive_c/orqrestart"
  printf '[DefaultInstall]\r\nSETREBOOTFLAG REINSTALL_ENGINE\r\nSETREBOOTFLAG product\r\nPROMPTREBOOT Restart now?\r\nSET After=1\r\n' \
    >"$prefix/drive_c/orqrestart/restart.Orq"
  local code=0
  run "$build_dir/bin/Orqex.exe" '/Script=C:\orqrestart\restart.Orq' \
    '/Log=C:\orqrestart\run.log' /Quiet </dev/null || code=$?
  tr -d '\r' <"$prefix/drive_c/orqrestart/run.log" | grep -q 'Executing line 5: SET After=1' ||
    fail "the run did not go on after PROMPTREBOOT"
  [ "$code" -eq 0 ] || fail "exit code $code"
  grep -q 'REINSTALL_ENGINE=1' "$windows/pendrainst.ini" || fail "pendrainst.ini not written"
  grep -q 'product=1' "$windows/Tevlin/Agent/Reboot.ini" || fail "Reboot.ini not written"
}
verify_interaction() {
  [ ! -e "$windows/pendrainst.ini" ] || fail "pendrainst.ini survived the restart"
  [ ! -e "$windows/Tevlin/Agent/Reboot.ini" ] || fail "Reboot.ini survived the restart"
}

case $family in
  files) phase Schedule ;;
  interaction) schedule_interaction ;;
  *) fail "unknown family $family" ;;
esac
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
run wineboot -r >/dev/null 2>&1 || true
run cmd /c exit 0 >/dev/null 2>&1 || true
case $family in
  files) phase Verify ;;
  interaction) verify_interaction ;;
esac
echo "PASSED"
