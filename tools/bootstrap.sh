#!/bin/bash
# Installs the Debian packages that the builds, the tests and the demo need (as root).
# Run it as often as you like: it does nothing when everything is there.
# The shipped programs are 32-bit: Wine runs them with its i386 half (wine32), beside the
# 64-bit one, as 64-bit Windows runs them (WoW64).
set -euo pipefail
packages=(cmake make g++ libgtest-dev mingw-w64 wine wine64 wine32:i386 fonts-wine xvfb xauth
          x11-utils xdotool imagemagick python3-pil clang-format nsis gnuplot-nox osslsigncode
          openssl)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "bootstrap: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
