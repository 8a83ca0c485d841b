#!/bin/bash
# Approves what the journeys last saw where it differed from tests/approved: shows each changed
# description as a diff and names each changed picture (its .diff.png shows where), then puts
# the new records in place of the old. Look before you run it; git shows what it changed.
set -euo pipefail
cd "$(dirname "$0")/../tests/approved"
shopt -s nullglob
found=0
for new in */*.new.txt */*.new.png; do
  old=${new/.new./.}
  found=1
  if [ "${new##*.}" = txt ]; then
    diff -u --label "$old" --label "$new" "$old" "$new" 2>/dev/null || [ -f "$old" ] ||
      echo "new record: $old"
  else
    echo "picture: $old ${old%.png}.diff.png"
  fi
  mv "$new" "$old"
done
rm -f */*.diff.png
[ $found = 1 ] || echo "approve: nothing new to approve"
