#!/bin/bash
# Makes docs/progress-dialog.png, the picture of the progress dialog in the documentation.
# Runs a short script that shows the dialog, on a virtual X display (Xvfb) in a throwaway
# Wine prefix with a real display driver (the tests' prefix draws nothing), grabs the
# dialog's window and removes the prefix again.
#   tools/screenshot-progress-dialog.sh [Orqex.exe [picture.png]]
# Needs: wine, Xvfb (package xvfb), import and xwininfo (imagemagick, x11-utils).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$(realpath "${1:-$root/build/windows/bin/Orqex.exe}")
out=$(realpath -m "${2:-$root/docs/progress-dialog.png}")
title="Orqex Installer"
status="Copying program files..."

# No "-" or "/" in the folder: the program's switch values end there.
work=$(mktemp -d /tmp/orqshotXXXXXX)
xvfb=""
cleanup() {
  WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

for number in $(seq 90 140); do
  [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] || break
done
Xvfb ":$number" -screen 0 640x400x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$number" WINEPREFIX="$work/prefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
for _ in $(seq 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done

wineboot -i >/dev/null 2>&1
# No window manager runs on this display: Wine draws the caption and frame itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1

# Each update keeps the dialog alive for 100 ms: about 15 s to take the picture.
{
  printf '[DefaultInstall]\r\nSTARTPROGRESSDLG %s\r\n' "$title"
  for _ in $(seq 150); do printf 'SETPROGRESS 60,%s\r\n' "$status"; done
  printf 'ENDPROGRESSDLG\r\n'
} >"$work/show.Orq"
winpath() { printf 'Z:%s' "${1//\//\\}"; }
wine "$exe" "/Script=$(winpath "$work/show.Orq")" "/Log=$(winpath "$work/run.log")" \
  >/dev/null 2>&1 &
run=$!

window=""
for _ in $(seq 300); do
  window=$(xwininfo -root -tree 2>/dev/null | awk -v t="\"$title\"" 'index($0, t) { print $1; exit }')
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the progress dialog did not appear" >&2; exit 1; }
sleep 3  # let the updates paint
import -window "$window" "$out"
wait "$run" || true
echo "wrote $out"
