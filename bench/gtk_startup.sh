#!/usr/bin/env bash
# Start-up benchmark of the Linux program: velmaro against bench/gtk_minimal.cpp (GTK 4 showing the same
# picture and the same 20 texts, layout.h) on a virtual display, in the same run, alternating, after one
# unmeasured start of each. The probe (gtk_probe.cpp) times each from its start to the menu painted and reads
# its peak resident set a moment after. Both are Release builds started directly, with the same renderer.
#
#   bench/gtk_startup.sh [RUNS]      RUNS measured starts of each program (default 11)
#   VELMARO_BENCH_SETTLE_MS=N        wait after the paint before the peak is read (default 500)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${1:-11}
settle=${VELMARO_BENCH_SETTLE_MS:-500}

cmake --preset bench >/dev/null
cmake --build --preset bench -j2 --target velmaro gtk_minimal gtk_probe >/dev/null

out=$root/build/bench-linux
disc=$out/disc
rm -rf "$disc"
mkdir -p "$disc"
cp build/bench/platform/gtk/velmaro build/bench/bench/gtk_minimal "$disc/"
printf '001\r\n\r\n\r\nmenu.bmp\r\n\r\n\r\n' >"$disc/kavo.inf"
for i in $(seq 0 19); do
  printf '0|%d|Link %d|Verdana|1012|65535|16777215|%d|%d|0|setup.exe -s|\r\n' \
    "$i" $((i + 1)) $((240 + i / 10 * 4800)) $((300 + i % 10 * 600))
done >"$disc/menu.inf"
convert -size 640x480 gradient:navy-black -type truecolor "BMP3:$disc/menu.bmp"

displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$displayfile"' EXIT
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$displayfile") GDK_BACKEND=x11

echo "Start-up on Linux: velmaro and gtk_minimal (Release), $runs runs each"
build/bench/bench/gtk_probe "$runs" "$settle" "$disc/velmaro" "$disc/gtk_minimal"
