#!/usr/bin/env bash
# velmaro-author preview against the real program under Wine: every link of the sample disc and of two
# fixture discs must lie within 2 px of where velmaro.exe draws it, at 96 and 144 DPI.
#
# VELMARO_EXE=path takes that program instead of building it. As in tests/e2e/run.sh, the kind of program
# is win32 where Wine's 32-bit loader runs here, else win64 (same sources, same drawing);
# VELMARO_AUTHOR_ARCH=win32|win64 forces it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"

arch="${VELMARO_AUTHOR_ARCH:-}"
if [[ -z "$arch" ]]; then
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then arch=win32; else arch=win64; fi
fi
if [[ $arch == win32 ]]; then
  loader=/usr/lib/wine/wine
else
  loader=/usr/lib/wine/wine64
  echo "preview-vs-wine: NOTE: comparing with the 64-bit build of the same sources (no 32-bit Wine here)"
fi

out="$repo/build/author-wine"
mkdir -p "$out"
cd "$repo"
cmake --preset host >/dev/null
cmake --build --preset host -j2 --target velmaro-author >"$out/build.log"
if [[ -z "${VELMARO_EXE:-}" ]]; then
  cmake --preset "$arch" >/dev/null
  cmake --build --preset "$arch" -j2 >>"$out/build.log"
  VELMARO_EXE="$repo/build/$arch/velmaro.exe"
fi
# The probe is always a 64-bit program; wine64 starts it.
x86_64-w64-mingw32-g++ -std=c++17 -O2 -static -s -o "$out/probe.exe" "$repo/tests/e2e/probe.cpp" -lgdi32

exec python3 -B "$here/preview_vs_wine.py" --exe "$VELMARO_EXE" --probe "$out/probe.exe" \
  --author "$repo/build/host/tools/author/velmaro-author" --sample "$repo/disc" \
  --loader "$loader" --wineserver /usr/lib/wine/wineserver --arch "$arch" "$@"
