#!/usr/bin/env bash
# The rooms drawn from the include lines: for each room, how many includes point into each
# room. Fails (exit 1) when a room includes one above it: support < engine < commands < host.
set -u
cd "$(dirname "$0")/.."
rooms=(support engine commands host)
status=0
for i in "${!rooms[@]}"; do
  room=${rooms[$i]}
  printf '%-9s->' "$room"
  grep -rhoE '^#include "[a-z_]+/' "$room" | sed -E 's/^#include "//; s#/$##' | sort | uniq -c |
    while read -r count target; do printf ' %s(%s)' "$target" "$count"; done
  echo
  above=$(IFS='|'; echo "${rooms[*]:$((i + 1))}")
  if [ -n "$above" ] && grep -rnE "^#include \"($above)/" "$room"; then
    echo "^ $room includes a room above it" >&2
    status=1
  fi
done
exit $status
