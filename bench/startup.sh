#!/usr/bin/env bash
# Start-up benchmark: velmaro.exe against bench/minimal.cpp under Wine on a virtual display, in the same run,
# alternating, after one unmeasured start of each. Both show the same BMP and the same 20 texts (layout.h).
# A probe started in the same prefix (probe.cpp) times each from CreateProcess to the menu painted and reads
# the process's peak working set (GetProcessMemoryInfo) a moment after.
#
#   bench/startup.sh [RUNS]      RUNS measured starts of each program (default 11)
#
#   VELMARO_BENCH_ARCH=win32|win64   which build of both programs (default win32, the shipped one)
#   VELMARO_BENCH_WINE=PATH          the 64-bit Wine loader that starts the probe; a 32-bit program it starts
#                                    goes through the 32-bit loader beside it. Default: for win32 the one
#                                    scripts/wine32.sh provides (under qemu where the kernel runs no 32-bit
#                                    code), for win64 /usr/lib/wine/wine64.
#   VELMARO_BENCH_SETTLE_MS=N        wait after the paint before the working set is read (default 500)
#   VELMARO_BENCH_DESIGNER=1         velmaro.exe against the designer opening the same disc (its page drawn)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

runs=${1:-11}
arch=${VELMARO_BENCH_ARCH:-win32}
if [ -z "${VELMARO_BENCH_WINE:-}" ] && [ "$arch" = win32 ]; then
  VELMARO_BENCH_WINE="$(dirname "$(scripts/wine32.sh)")/wine64"
fi
wine=${VELMARO_BENCH_WINE:-/usr/lib/wine/wine64}
settle=${VELMARO_BENCH_SETTLE_MS:-500}
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver

cmake --preset "bench-$arch" >/dev/null
cmake --build --preset "bench-$arch" -j2 >/dev/null

out=$root/build/bench-startup/$arch
disc=$out/disc
mkdir -p "$out"
# The probe is always a 64-bit program, so that its polling costs the same whichever build it measures.
x86_64-w64-mingw32-g++ -std=c++17 -O2 -Wall -Wextra -Werror -static -s -o "$out/probe.exe" bench/probe.cpp \
  -lgdi32 -lpsapi

# The disc: the two programs beside kavo.inf (menu only), menu.inf (the links of layout.h) and the picture.
rm -rf "$disc"
mkdir -p "$disc"
cp "build/bench-$arch/velmaro.exe" "build/bench-$arch/bench/minimal.exe" "$disc/"
printf '001\r\n\r\n\r\nmenu.bmp\r\n\r\n\r\n' >"$disc/kavo.inf"
for i in $(seq 0 19); do
  printf '0|%d|Link %d|Verdana|1012|65535|16777215|%d|%d|0|setup.exe -s|\r\n' \
    "$i" $((i + 1)) $((240 + i / 10 * 4800)) $((300 + i % 10 * 600))
done >"$disc/menu.inf"
convert -size 640x480 gradient:navy-black -type truecolor "BMP3:$disc/menu.bmp"

export WINEPREFIX=$out/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
export WINEARCH=win64
export WINELOADER=$wine
unset DISPLAY

displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
trap '"$wineserver" -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -f "$displayfile"' EXIT
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$displayfile")

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating a Wine prefix in $WINEPREFIX (once) ..."
  "$wine" wineboot -i >"$out/wineboot.log" 2>&1
  "$wineserver" -w
fi
# One fixed virtual desktop, 96 dpi, no crash dialog.
"$wine" regedit /s 'Z:'"${root//\//\\}"'\bench\prefix.reg'

if [ -n "${VELMARO_BENCH_DESIGNER:-}" ]; then
  cp "build/bench-$arch/tools/design/velmaro-design.exe" "$out/"
  echo "Start-up under Wine: $arch build (velmaro.exe and velmaro-design.exe on its disc), loader $wine, $runs runs each"
  "$wine" "$out/probe.exe" "$runs" "$settle" "Z:${disc//\//\\}\\velmaro.exe" \
    "Z:${out//\//\\}\\velmaro-design.exe|Z:${disc//\//\\}"
  exit
fi
echo "Start-up under Wine: $arch build (velmaro.exe and minimal.exe), loader $wine, $runs runs each"
"$wine" "$out/probe.exe" "$runs" "$settle" "Z:${disc//\//\\}\\velmaro.exe" "Z:${disc//\//\\}\\minimal.exe"
