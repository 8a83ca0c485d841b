#!/bin/bash
# Runs a Windows program under 64-bit Wine in a fresh prefix copied from the booted
# template, on the display of the test run, and passes back its exit code.
set -uo pipefail
source "$(dirname "$0")/../../tools/wine-env.sh"
qel_display
qel_template
prefix=$(mktemp -d "${TMPDIR:-/tmp}/qel-prefix.XXXXXX")
qel_prefix "$prefix"
output=$prefix.out
WINEPREFIX=$prefix "$WINE64" "$@" >"$output" 2>&1 </dev/null
code=$?
WINEPREFIX=$prefix "$WINESERVER" -k 2>/dev/null
WINEPREFIX=$prefix "$WINESERVER" -w 2>/dev/null
cat "$output"
rm -rf "$prefix" "$output"
exit $code
