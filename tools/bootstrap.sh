#!/bin/bash
# Installs the Debian packages that the builds, the tests and the demo need (as root).
# Run it as often as you like: it does nothing when everything is there.
set -euo pipefail
packages=(cmake make g++ libgtest-dev mingw-w64 wine wine64 fonts-wine xvfb xauth x11-utils
          xdotool imagemagick python3-pil clang-format nsis gnuplot-nox osslsigncode openssl)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "bootstrap: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
