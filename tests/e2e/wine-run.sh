#!/bin/bash
# Runs the driver (driver.exe SCENARIO ...) under Wine in a fresh prefix copied from
# the booted template, on an Xvfb display of its own (so keystrokes and focus of one test never
# reach another running beside it), and passes back its exit code.
set -uo pipefail
source "$(dirname "$0")/../../tools/wine-env.sh"
qel_template
# A scenario may put the stand-in registration program in the system directory: Wine
# reads its load order from the environment it starts with, not from a child's.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;regsvr32.exe=n,b"
# The stand-ins record in C:\record.txt. The desktop's explorer starts with the driver and
# keeps this environment, so a program it starts for Setup records there too.
export QEL_RECORD='C:\record.txt'

output=$(mktemp "${TMPDIR:-/tmp}/qel-output.XXXXXX")
attempt() {
  local prefix code
  : >"$output"
  prefix=$(mktemp -d "${TMPDIR:-/tmp}/qel-prefix.XXXXXX") || return 125
  qel_prefix "$prefix" || { rm -rf "$prefix"; return 125; }
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$prefix.display" >/dev/null 2>&1 &
  local xvfb=$!
  for _ in $(seq 100); do [ -s "$prefix.display" ] && break; sleep 0.05; done
  DISPLAY=:$(cat "$prefix.display") WINEPREFIX=$prefix "$WINE" "$@" >"$output" 2>&1 </dev/null
  code=$?
  WINEPREFIX=$prefix "$WINESERVER" -k 2>/dev/null
  WINEPREFIX=$prefix "$WINESERVER" -w 2>/dev/null
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  # A scenario that stopped early may leave a disk it had mounted, or a file it had made
  # immutable.
  awk -v p="$prefix/" 'index($2, p) == 1 { print $2 }' /proc/mounts | sed 's/\\040/ /g' |
    while read -r mounted; do umount -l "$mounted"; done
  rm -rf "$prefix" 2>/dev/null || { chattr -R -i "$prefix" 2>/dev/null; rm -rf "$prefix"; }
  rm -f "$prefix.display"
  return $code
}

# The driver always ends with its scenario's verdict. A run that never got there failed
# around the scenario (Wine, the display, the disk), not in it: once more, and said so.
for _ in 1 2; do
  attempt "$@"
  code=$?
  cat "$output"
  grep -qE "^$2: (passed|FAILED)" "$output" && break
  echo "the driver ended without a verdict (exit code $code, $(df -h --output=avail "${TMPDIR:-/tmp}" | tail -1 | tr -d " ") free)"
done
rm -f "$output"
exit $code
