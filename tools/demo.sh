#!/bin/bash
# The demo: bootstrap, build, then Setup.exe from the sample package under Wine. With a
# display the wizard is yours to use. Without one, the two journeys of the end-to-end tests
# run on a display of their own at 96 and at 144 DPI, each saving a numbered screenshot of
# every page and dialog, the installation and the removal mid-run and the uninstaller's
# states: out/demo/ and out/demo/144dpi/.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/build.sh >/dev/null
source tools/wine-env.sh
qel_template
root=$PWD
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  export WINEPREFIX=$root/build/demo/prefix
  mkdir -p build/demo
  qel_prefix "$WINEPREFIX"
  cp -r build/i686/pacchetto "$WINEPREFIX/drive_c/pacchetto"
  cd "$WINEPREFIX/drive_c/pacchetto"
  exec "$WINE" Setup.exe
fi
rm -rf out/demo
for dpi in 96 144; do
  shots=out/demo
  [ "$dpi" = 96 ] || shots=out/demo/${dpi}dpi
  mkdir -p "$shots"
  folder="Z:${root//\//\\}\\${shots//\//\\}"
  for journey in setup uninstall; do
    tests/e2e/wine-run.sh build/i686/driver.exe "viaggio_${journey}_$dpi" "$root/build/i686" "$folder"
  done
done
ls out/demo/*.png out/demo/144dpi/*.png
