#!/bin/bash
# The demo: bootstrap, build, lay out the sample package folder and start Setup.exe in it
# under Wine. With a display the wizard is yours to use; without one it runs under Xvfb
# in a Wine desktop and is driven by keystrokes through the whole journey: the wizard's
# pages, the installation run, the uninstaller (twice: removal, then "already removed")
# and the warning of a newer installed version. A screenshot of each page and dialog
# lands in out/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/bootstrap.sh
tools/build.sh >/dev/null
source tools/wine-env.sh
interactive=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then interactive=1; fi
qel_display
qel_template
root=$PWD
out=$root/out/demo
size=640x480
export WINEPREFIX=$root/build/demo/prefix
rm -rf build/demo "$out" && mkdir -p build/demo "$out"
qel_prefix "$WINEPREFIX"
cp -r build/x86_64/pacchetto "$WINEPREFIX/drive_c/pacchetto"
cd "$WINEPREFIX/drive_c/pacchetto"
if ((interactive)); then
  "$WINE64" Setup.exe
  exit 0
fi

desktop=""
screen() { import -window "$desktop" rgb:- 2>/dev/null | md5sum; }

# run WINDOWS-COMMAND...: starts a program in the shared Wine desktop and waits for it.
run() {
  "$WINE64" explorer /desktop=qel,$size "$@" >>"$root/build/demo/wine.log" 2>&1 &
  desktop=""
  for _ in $(seq 100); do
    desktop=$(xdotool search --name "qel - Wine desktop" 2>/dev/null | head -1) || true
    [ -n "$desktop" ] && break
    sleep 0.2
  done
  [ -n "$desktop" ] || { echo "demo: no Wine desktop" >&2; exit 1; }
  changed "$(empty_desktop)"
}

# The desktop before any window shows: the hash a started program's window must change.
empty_desktop() { sleep 0.5; screen; }

# changed HASH: waits (at most 10 s) until the screen differs from HASH.
changed() {
  for _ in $(seq 100); do
    [ "$(screen)" != "$1" ] && return 0
    sleep 0.1
  done
}

# settle [N]: waits (at most 15 s) until the screen has stayed the same for N samples
# 0.2 s apart; a run with pauses between its steps needs a longer N than a page does.
settle() {
  local previous="" now same=0
  for _ in $(seq 75); do
    sleep 0.2
    now=$(screen)
    if [ "$now" = "$previous" ]; then
      same=$((same + 1))
      ((same >= ${1:-1})) && break
    else
      same=0
    fi
    previous=$now
  done
}

# shot NAME [N]: a screenshot once the screen has settled.
shot() {
  settle "${2:-1}"
  snap "$1"
}

snap() {
  import -window "$desktop" "$out/$1.png"
  echo "demo: out/demo/$1.png"
}

# key KEYS...: sends keystrokes and waits until the screen has changed and settled.
key() {
  local before
  before=$(screen)
  xdotool windowfocus --sync "$desktop" key "$@"
  changed "$before"
  settle
}

# midway NAME KEYS...: a screenshot about a second into what the keystrokes start.
midway() {
  local name=$1 before
  shift
  before=$(screen)
  xdotool windowfocus --sync "$desktop" key "$@"
  changed "$before"
  sleep 0.8
  snap "$name"
}

# quit: waits for every program in the prefix to end.
quit() { "$WINESERVER" -k 2>/dev/null || true; "$WINESERVER" -w 2>/dev/null || true; }

# The wizard, from the package folder, through the installation run.
run Setup.exe
shot 1-benvenuto
key Tab Return
shot 2-aiuto
key Return
key alt+a
shot 3-annulla
key alt+n
key alt+c
key alt+o
shot 4-licenza
key alt+c
shot 5-cartella
midway 6-installazione alt+c
shot 7-finale 10
key alt+c
quit

# The uninstaller from the installed folder: confirmation, removal, then a second start.
uninstaller='C:\Program Files\QelPictura\Uninstall.exe'
run "$uninstaller"
shot 8-disinstallazione
key alt+r
shot 9-conferma
key Tab space
shot 10-rimosso 10
key Tab space
quit
run "$uninstaller"
shot 11-gia-rimosso
key Return
quit

# A newer version recorded in the registry: Setup warns on leaving the welcome page.
"$WINE64" reg add 'HKLM\SOFTWARE\Qel\Pictura' /v Version /t REG_SZ /d 2 /f >/dev/null 2>&1
run 'C:\pacchetto\Setup.exe'
key alt+c
shot 12-avviso-versione
quit
"$WINE64" reg delete 'HKLM\SOFTWARE\Qel\Pictura' /f >/dev/null 2>&1 || true
quit
