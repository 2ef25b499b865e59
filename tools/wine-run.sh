#!/bin/bash
# Runs a Windows program under Wine in a prefix of the build's own.
#   ORQ_WINEPREFIX  the prefix folder (set by the build; defaults beside this script)
# The prefix is created once, under a lock, with the null display driver (dialogs and
# message boxes work headless) and no crash debugger (a crash must not exit with 0).
# A persistent wineserver keeps services alive between processes; `wine-run.sh --stop`
# ends it.
set -u
prefix="${ORQ_WINEPREFIX:-$(cd "$(dirname "$0")" && pwd)/wineprefix}"
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

# A wineserver that inherits ctest's or cmake's pipes keeps them waiting; close every
# descriptor above 2 before anything of Wine starts.
for fd in /proc/$$/fd/*; do
  fd=${fd##*/}
  [ "$fd" -gt 2 ] 2>/dev/null && eval "exec $fd>&-"
done

if [ "${1:-}" = "--stop" ]; then
  [ -d "$prefix" ] && wineserver -k 2>/dev/null
  exit 0
fi

if [ ! -f "$prefix/.orq-ready" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.orq-ready" ]; then
      rm -rf "$prefix"
      wineboot -i >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
      wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null 2>&1
      wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 0 /f >/dev/null 2>&1
      wineserver -w
      touch "$prefix/.orq-ready"
    fi
  ) 9>"$prefix.lock"
fi

# Wine's own processes (services.exe and the rest) inherit the descriptors of the wine that
# starts them and keep them open for as long as the server lives; started from a test, they
# would hold ctest's pipes for half a minute. Start them from a wine of our own first.
services_running() {
  local f
  for f in $(grep -l services.exe /proc/[0-9]*/cmdline 2>/dev/null); do
    grep -qzx "WINEPREFIX=$prefix" "${f%/cmdline}/environ" 2>/dev/null && return 0
  done
  return 1
}
if ! services_running; then
  wineserver -p30 >/dev/null 2>&1 </dev/null
  wine cmd /c exit 0 >/dev/null 2>&1 </dev/null
fi
exec wine "$@"
