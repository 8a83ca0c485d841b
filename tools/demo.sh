#!/bin/bash
# The demo: bootstrap, build, lay out the sample package and start Setup.exe from it under
# Wine. With a display the wizard is yours to use. Without one, the whole journey runs on
# an Xvfb display of its own, in a Wine desktop, driven by keystrokes: the wizard's pages
# (with the warning of a newer installed version), the installation run, the result page,
# then the uninstaller from the installed folder, started twice (removal, then "already
# removed"), and the welcome page once more after a change to a high-contrast colour scheme.
# A numbered screenshot of every page and dialog lands in out/demo/, and the same journey
# again at 144 DPI in out/demo/144dpi/.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/bootstrap.sh
tools/build.sh >/dev/null
source tools/wine-env.sh
root=$PWD
work=$root/build/demo
log=$work/wine.log
installed='C:\Program Files\QelPictura'
setup_title="Installazione di QelPictura"
uninstall_title="Disinstallazione di QelPictura"
removed_title="QelSoftware"
fill='#3096FA' # the progress bar's fill, the highlight colour (focused buttons are edged in it)

# prefix DPI: a fresh prefix at that DPI, with the sample package in C:\pacchetto.
prefix() {
  export WINEPREFIX=$work/prefix-$1
  qel_prefix "$WINEPREFIX"
  cp -r "$root/build/x86_64/pacchetto" "$WINEPREFIX/drive_c/pacchetto"
  if [ "$1" != 96 ]; then
    reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1"
    reg 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
      /v LogPixels /t REG_DWORD /d "$1"
  fi
  "$WINESERVER" -w
}
reg() { "$WINE64" reg add "$@" /f >>"$log" 2>&1; }

# An Xvfb display of the demo's own, so that no other Wine desktop shares it.
own_display() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  xvfb=$!
  trap 'end_session; kill $xvfb 2>/dev/null || true' EXIT
  until [ -s "$work/display" ]; do sleep 0.05; done
  DISPLAY=:$(cat "$work/display")
  export DISPLAY
}

# start FOLDER PROGRAM: starts a Windows program with FOLDER (Unix path) as its current
# folder, in the Wine desktop "qel" (made on the first start of a session).
start() {
  (cd "$1" && "$WINE64" explorer /desktop=qel,"$size" "$2" >>"$log" 2>&1 &)
  until_ "the Wine desktop" desktop_found
}
# Only a desktop on the screen: a grab of one a finished session left unmapped never ends.
desktop_found() {
  desktop=$(xdotool search --onlyvisible --name "^qel - Wine desktop$" 2>/dev/null | head -1) || true
  [ -n "$desktop" ]
}

# end_session: ends the Wine desktop and whatever still runs in the prefix.
end_session() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  "$WINESERVER" -k 2>/dev/null || true
  "$WINESERVER" -w 2>/dev/null || true
}

# until_ WHAT COMMAND...: polls COMMAND every 0.1 s until it succeeds, for at most 20 s.
until_() {
  local what=$1
  shift
  for _ in $(seq 200); do
    "$@" && return 0
    sleep 0.1
  done
  echo "demo: gave up waiting for $what" >&2
  exit 1
}

# windows TITLE N: true when exactly N visible windows have that caption.
windows() {
  local n
  n=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l)
  [ "$n" -eq "$2" ]
}
wait_windows() { until_ "$2 window(s) \"$1\"" windows "$1" "$2"; }

# grab FILE: the Wine desktop as a PNG.
grab() { import -window "$desktop" "$1" 2>/dev/null; }
screen() { grab "$work/screen.png" && md5sum <"$work/screen.png"; }

# bar_shown FILE: true when the lower part of the screen shows a progress bar's fill. At 96
# DPI a focused button's edge has 190 pixels of that colour, the bar after its first step
# about 1000; the threshold lies between, scaled with the DPI.
bar_shown() {
  local width height pixels
  read -r width height < <(identify -format '%w %h' "$1")
  pixels=$(convert "$1" -crop "${width}x$((height * 3 / 5))+0+$((height * 2 / 5))" +repage \
    -fill black +opaque "$fill" -fill white -opaque "$fill" -format '%[fx:round(mean*w*h)]' info:)
  ((pixels > 500 * dpi * dpi / (96 * 96)))
}
bar_now() { grab "$work/screen.png" && bar_shown "$work/screen.png"; }
no_bar_now() { ! bar_now; }

# settle: waits until the screen has stayed the same for three looks in a row.
settle() {
  local previous="" now same=0
  for _ in $(seq 100); do
    now=$(screen)
    if [ "$now" = "$previous" ]; then
      same=$((same + 1))
      ((same < 2)) || return 0
    else
      same=0
    fi
    previous=$now
    sleep 0.1
  done
}

# press KEYS...: sends keystrokes to the active window and waits for the screen to change.
press() {
  local before
  before=$(screen)
  xdotool windowfocus --sync "$desktop" key "$@"
  until_ "the screen to change after $*" changed "$before"
}
changed() { [ "$(screen)" != "$1" ]; }

# shot NAME: once the screen is still, saves it as the next numbered screenshot.
shot() {
  settle
  save "$1"
}
# save NAME: the last look at the screen, as the next numbered screenshot.
save() {
  count=$((count + 1))
  cp "$work/screen.png" "$shots/$count-$1.png"
  echo "demo: ${shots#"$root"/}/$count-$1.png"
}

# shot_mid_run NAME: the installation run caught between its steps, bar part-filled and a
# status text showing: the first still screen on which the bar shows.
shot_mid_run() {
  until_ "the progress bar" bar_now
  last_hash=""
  until_ "a still screen with the progress bar" still_with_bar
  save "$1"
}
still_with_bar() {
  local hash
  hash=$(screen)
  bar_shown "$work/screen.png" || return 1
  [ "$hash" = "${last_hash:-}" ] && return 0
  last_hash=$hash
  return 1
}

# The wizard from the package folder, the warning of a newer version on the way.
wizard() {
  start "$WINEPREFIX/drive_c/pacchetto" 'C:\pacchetto\Setup.exe'
  wait_windows "$setup_title" 1
  shot benvenuto
  press Tab Return # "&?"
  wait_windows "$setup_title" 2
  shot aiuto
  press Return # "&OK"
  wait_windows "$setup_title" 1
  press alt+a
  wait_windows "$setup_title" 2
  shot annulla
  press alt+n
  wait_windows "$setup_title" 1
  press alt+c
  wait_windows "$setup_title" 2
  shot avviso-versione
  press Return # "&OK": the licence page follows
  wait_windows "$setup_title" 1
  settle
  press alt+o
  shot licenza
  press alt+c
  shot cartella
  press alt+c # "&Conferma"
  shot_mid_run installazione
  until_ "the end of the installation run" no_bar_now
  shot finale
  press alt+c # "&Chiudi": Setup ends and starts the installed program
  wait_windows "$setup_title" 0
}

# The uninstaller from the installed folder: removal, then started again.
uninstaller() {
  local folder=$WINEPREFIX/drive_c/Program\ Files/QelPictura
  start "$folder" "$installed\\Uninstall.exe"
  wait_windows "$uninstall_title" 1
  shot disinstallazione
  press alt+r
  wait_windows "$uninstall_title" 2
  shot conferma
  press Tab space # from the default "Annulla" to "OK"
  wait_windows "$uninstall_title" 1
  until_ "the removal run" bar_now
  until_ "the end of the removal run" no_bar_now
  shot rimosso
  press Tab space # "Chiudi", the only button left
  wait_windows "$uninstall_title" 0
  start "$folder" "$installed\\Uninstall.exe"
  wait_windows "$removed_title" 1
  shot gia-rimosso
  press Return
  wait_windows "$uninstall_title" 0
}

# The welcome page again, saved after a high-contrast colour scheme has been turned on
# while it is open (the driver loads the scheme into the running Setup).
high_contrast() {
  start "$WINEPREFIX/drive_c/pacchetto" 'C:\pacchetto\Setup.exe'
  wait_windows "$setup_title" 1
  settle
  local before
  before=$(screen)
  "$WINE64" "$root/build/x86_64/driver.exe" demo_high_contrast "$root/build/x86_64" >>"$log" 2>&1
  until_ "the page in its new colours" changed "$before"
  shot contrasto
}

# journey DPI DESKTOP-SIZE FOLDER: the whole journey in a fresh prefix.
journey() {
  dpi=$1 size=$2 shots=$3 count=0
  rm -rf "$shots" && mkdir -p "$shots"
  prefix "$1"
  # A newer version recorded as installed, so that Setup warns on leaving its first page.
  reg 'HKLM\SOFTWARE\Qel\Pictura' /v Version /t REG_SZ /d 2
  wizard
  uninstaller
  high_contrast
  end_session
}

rm -rf "$work" && mkdir -p "$work"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  qel_template
  prefix 96
  cd "$WINEPREFIX/drive_c/pacchetto"
  exec "$WINE64" Setup.exe
fi
own_display
qel_template
rm -rf out/demo
journey 96 640x480 "$root/out/demo"
journey 144 960x720 "$root/out/demo/144dpi"
