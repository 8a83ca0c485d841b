#!/bin/bash
# Bootstrap, then the two builds: the shipped 32-bit programs with the end-to-end driver,
# the stand-ins and the sample package (build/i686), and the unit tests (build/native).
#   tools/build.sh          both
#   tools/build.sh shipped  only build/i686/Setup.exe and build/i686/Uninstall.exe
set -euo pipefail
cd "$(dirname "$0")/.."
tools/bootstrap.sh  # first: a build folder configured without the compilers stays broken
jobs=$(nproc)
cmake -S . -B build/i686 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
if [ "${1:-}" = shipped ]; then
  cmake --build build/i686 -j "$jobs" --target Setup Uninstall
  exit
fi
cmake --build build/i686 -j "$jobs"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j "$jobs"
