#!/bin/bash
# The demo: bootstrap, build, lay out a sample package folder and start Setup.exe in it
# under Wine. With a display the wizard is yours to use; without one it runs under Xvfb
# in a Wine desktop, is driven through its pages by keystrokes, and a screenshot of each
# page and dialog lands in out/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/bootstrap.sh
tools/build.sh >/dev/null
source tools/wine-env.sh
interactive=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then interactive=1; fi
qel_display
qel_template
package=build/demo/pacchetto
rm -rf build/demo && mkdir -p "$package" out/demo
cp build/x86_64/Setup.exe build/x86_64/Uninstall.exe "$package"/
export WINEPREFIX=$PWD/build/demo/prefix
qel_prefix "$WINEPREFIX"
cd "$package"
if ((interactive)); then
  "$WINE64" Setup.exe
  exit 0
fi
"$WINE64" explorer /desktop=qel,640x480 Setup.exe >../wine.log 2>&1 &
desktop=""
for _ in $(seq 100); do
  desktop=$(xdotool search --name "qel - Wine desktop" 2>/dev/null | head -1) && [ -n "$desktop" ] && break
  sleep 0.2
done
settle() {  # waits until the screen stops changing
  local previous="" now
  for _ in $(seq 25); do
    sleep 0.2
    now=$(import -window "$desktop" rgb:- 2>/dev/null | md5sum)
    [ "$now" = "$previous" ] && break
    previous=$now
  done
}
shot() {
  settle
  import -window "$desktop" "$OLDPWD/out/demo/$1.png"
  echo "demo: out/demo/$1.png"
}
key() {
  xdotool windowfocus --sync "$desktop" key "$@"
  settle
}
shot 1-benvenuto
key Tab Return
shot 2-aiuto
key Return
key alt+a
shot 3-annulla
key alt+n
key alt+c
shot 4-licenza
"$WINESERVER" -k
