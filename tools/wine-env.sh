# Sourced by the tools: a display for Wine (Xvfb when there is none) and a booted
# template prefix that each run copies, so that runs stay independent. The prefix is a
# 64-bit one with its 32-bit half (WoW64), as most users' Windows is; the shipped programs,
# the driver and the stand-ins are 32-bit, and $WINE runs them.
WINE=/usr/lib/wine/wine
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
# Wine's menu builder stays off: it would write .desktop files beside the shortcuts.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
QEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QEL_TEMPLATE=$QEL_ROOT/build/wine-template

qel_display() {
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    export DISPLAY=:${QEL_DISPLAY_NUMBER:-97}
    if ! xdpyinfo >/dev/null 2>&1; then
      Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    fi
  fi
}

# Without a window manager on the display, Wine holds every closing top-level window for
# two seconds waiting to hear it withdrawn; unmanaged windows close at once, as on Windows.
qel_template() {
  if [ ! -f "$QEL_TEMPLATE/.qel-ready-wow64" ]; then
    rm -rf "$QEL_TEMPLATE"
    WINEPREFIX=$QEL_TEMPLATE "$WINE64" wineboot -i >/dev/null 2>&1
    # Windows has Tahoma, the programs' font; Wine's own copy stands for it here. Without it
    # every face falls back to the same one, and a window in another font would look alike.
    # Copied before the next Wine program, which enters it in the font cache that every copy
    # of the template then holds (a copy left to find it would spend seconds on it).
    cp /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf \
      "$QEL_TEMPLATE/drive_c/windows/Fonts/"
    WINEPREFIX=$QEL_TEMPLATE "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
      >/dev/null 2>&1
    WINEPREFIX=$QEL_TEMPLATE "$WINESERVER" -w
    # Wine's own DLLs and programs arrive with their debug sections; without them each
    # prefix a run copies is a third the size. (The 16-bit ones, which have none, are
    # passed over with a word each.)
    find "$QEL_TEMPLATE/drive_c" -type f \( -iname '*.dll' -o -iname '*.exe' \) -print0 |
      xargs -0 x86_64-w64-mingw32-strip --strip-debug 2>/dev/null || true
    touch "$QEL_TEMPLATE/.qel-ready-wow64"
  fi
}

# qel_prefix DIR: a fresh prefix copied from the template.
qel_prefix() {
  rm -rf "$1"
  cp -a "$QEL_TEMPLATE" "$1"
}
