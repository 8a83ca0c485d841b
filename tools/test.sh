#!/bin/bash
# All the tests: bootstrap, the two builds, the unit tests, the end-to-end tests under
# Wine and the static checks of the shipped programs, then one summary line.
set -uo pipefail
cd "$(dirname "$0")/.."
tools/build.sh || exit 1
source tools/wine-env.sh
qel_display
qel_template
mkdir -p build/logs
status=0
(cd build/native && ctest -j "$(nproc)" --output-on-failure) | tee build/logs/unit.log || status=1
(cd build/i686 && ctest -j 2 --output-on-failure) | tee build/logs/e2e.log || status=1
tools/check-static.sh | tee build/logs/static.log || status=1
# Formatting: every C and C++ source as the root .clang-format lays it out.
sources() { find "$@" \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0; }
if sources common Setup tests bench | xargs -0 clang-format --dry-run --Werror; then
  echo "static ok: clang-format"
else
  echo "static FAILED: clang-format"
fi | tee -a build/logs/static.log
count() { cat build/logs/unit.log build/logs/e2e.log build/logs/static.log | grep -cE "$1"; }
passed=$(count '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* +Passed +[0-9.]+ sec|^static ok')
failed=$(count '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*\*\*\*(Failed|Exception|Timeout|Not Run)|^static FAILED')
[ "$failed" -eq 0 ] || status=1
# The budget: physical lines of the tests (fake and fixtures included) against the product's,
# the tests' parts first.
lines() { sources "$@" | xargs -0 cat | wc -l; }
parts=()
for part in tests/fake tests/unit tests/e2e/Driver.* tests/e2e/scenari/* tests/fixtures; do
  parts+=("${part#tests/} $(lines "$part")")
done
(IFS=,; echo "tests by part: ${parts[*]}" | sed 's/,/, /g')
echo "$passed passed, $failed failed"
awk -v t="$(lines tests)" -v p="$(lines common Setup)" \
  'BEGIN { printf "tests/product = %.2f (%d / %d lines)\n", t / p, t, p }'
exit $status
