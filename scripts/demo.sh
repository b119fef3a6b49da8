#!/usr/bin/env bash
# The main job: builds the Windows program and shows the bundled sample disc under Wine. With a display the
# menu opens there and stays until you close it; without one it runs on a virtual display and a screenshot of
# the menu is saved.
#
#   scripts/demo.sh            the Windows program under Wine
#   scripts/demo.sh --linux    the Linux program (GTK 4), started from the disc as autorun.sh starts it
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh

if [ "${1:-}" = --linux ]; then
  cmake --preset host >/dev/null
  cmake --build --preset host -j2 --target velmaro velmaro-author
  disc=$root/build/sample-disc-linux
  rm -rf "$disc" "$disc.starter"
  cp -r disc "$disc"
  cp build/host/platform/gtk/velmaro "$disc/velmaro"
  # autorun.sh as velmaro-author new writes it for a disc with the Linux program.
  mkdir -p "$disc.starter/share"
  cp build/host/platform/gtk/velmaro "$disc.starter/share/velmaro"
  printf 'MZ' >"$disc.starter/share/velmaro.exe"
  build/host/tools/author/velmaro-author new "$disc.starter/disc" --exe "$disc.starter/share/velmaro.exe" >/dev/null
  cp "$disc.starter/disc/autorun.sh" "$disc/"
  rm -rf "$disc.starter"
  if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "Showing the sample disc on this desktop; close the menu window to end."
    exec sh "$disc/autorun.sh"
  fi
  displayfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$displayfile" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
  export DISPLAY=:$(cat "$displayfile") GDK_BACKEND=x11
  sh "$disc/autorun.sh" >/dev/null 2>&1 &
  program=$!
  trap 'kill $program 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -f "$displayfile"' EXIT
  # The splash stays three seconds; then the menu, as wide as its picture.
  menu_shown() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$program" 2>/dev/null); do
      eval "$(xdotool getwindowgeometry --shell "$id")"
      [ "$WIDTH" -ge 480 ] && return 0
    done
    return 1
  }
  for _ in $(seq 150); do menu_shown && break; sleep 0.2; done
  sleep 1  # let it paint
  mkdir -p build/screenshots
  shot=$root/build/screenshots/sample-menu-linux.png
  import -window root "$shot"
  echo "Screenshot of the sample disc's menu on Linux: $shot"
  exit 0
fi
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2
exe=build/win32/velmaro.exe
# The 32-bit Wine loader: Debian's own, or where this kernel runs no 32-bit code, one under qemu.
wine=$(scripts/wine32.sh)
wineserver=$(dirname "$wine")/wineserver

disc=$root/build/sample-disc
rm -rf "$disc"
cp -r disc "$disc"
cp "$exe" "$disc/velmaro.exe"

export WINEPREFIX=$root/build/wine-demo
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no network here: skip the Mono and Gecko offers
# A 64-bit prefix whose 32-bit half is set up through that loader; the mark tells it from older ones.
if [ ! -f "$WINEPREFIX/.wine32" ]; then
  echo "Creating a Wine prefix in $WINEPREFIX (once) ..."
  rm -rf "$WINEPREFIX"
  "$(dirname "$wine")/wine64" wineboot -i >/dev/null 2>&1 || true
  "$wineserver" -w || true
  touch "$WINEPREFIX/.wine32"
fi

if [ -n "${DISPLAY:-}" ]; then
  echo "Showing the sample disc; close the menu window to end."
  cd "$disc" && "$wine" velmaro.exe
  exit 0
fi

# A free display number, told by Xvfb itself.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
trap '"$wineserver" -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -f "$displayfile"' EXIT
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$displayfile")

(cd "$disc" && "$wine" velmaro.exe >/dev/null 2>&1 &)
# The splash stays three seconds; then the menu, the one window of the program as wide as its picture.
menu_shown() {
  local id
  for id in $(xdotool search --onlyvisible --class velmaro 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$id")"
    [ "$WIDTH" -ge 480 ] && return 0
  done
  return 1
}
for _ in $(seq 300); do menu_shown && break; sleep 0.2; done
sleep 1  # let it paint
mkdir -p build/screenshots
shot=$root/build/screenshots/sample-menu.png
import -window root "$shot"
echo "Screenshot of the sample disc's menu: $shot"
