#!/bin/bash
# The shipped programs are 32-bit and import only Windows system DLLs.
set -uo pipefail
allowed='^(kernel32|user32|gdi32|shell32|ole32|oleaut32|advapi32|comctl32|msvcrt)\.dll$'
status=0
for exe in "$@"; do
  format=$(i686-w64-mingw32-objdump -f "$exe" 2>&1 | grep -o 'file format .*')
  dlls=$(i686-w64-mingw32-objdump -p "$exe" 2>/dev/null | awk '/DLL Name:/ {print tolower($3)}')
  bad=$(echo "$dlls" | grep -vE "$allowed")
  if [ "$format" = "file format pei-i386" ] && [ -z "$bad" ]; then
    echo "imports ok: $(basename "$exe") ($(stat -c %s "$exe") bytes):" $dlls
  else
    echo "imports FAILED: $(basename "$exe") ${format:-unreadable} ${bad}"
    status=1
  fi
done
exit $status
