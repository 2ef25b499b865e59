#!/bin/bash
# Simulates a restart of Windows without touching the prefix the other tests share:
#   restart_throwaway_prefix.sh <prefix> <test program> <done file>
# copies the prefix, runs the test program's scheduling step in the copy, ends the copy's
# Wine server (and every process in it), starts the copy again, which carries out what was
# scheduled for the next start, runs the checking step, and removes the copy. The done
# file receives both steps' exit codes and output, written last and whole.
set -u
prefix=$1 program=$2 done_file=$3
work=$(mktemp -d /tmp/orq-restart.XXXXXX)
report=$work/report
for name in $(env | sed -n 's/^\(WINE[A-Z_]*\)=.*/\1/p'); do unset "$name"; done
unset DISPLAY WAYLAND_DISPLAY
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

step() {
  local name=$1
  wine "$program" --gtest_also_run_disabled_tests --gtest_filter="RestartPhase.DISABLED_$name" \
    >"$work/$name.out" 2>&1 </dev/null
  echo "$name=$?" >>"$report"
  cat "$work/$name.out" >>"$report"
}

# Other tests go on in the prefix meanwhile: a file that vanishes during the copy is no
# failure, as long as the copy has a registry.
cp -a "$prefix" "$WINEPREFIX" 2>/dev/null
if [ -f "$WINEPREFIX/system.reg" ]; then
  step Schedule
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  step Verify
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
else
  echo "copy=failed" >>"$report"
fi
cp "$report" "$done_file.part" && mv "$done_file.part" "$done_file"
rm -rf "$work"
