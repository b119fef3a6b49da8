#!/usr/bin/env bash
# velmaro-author preview against the real program under Wine: every link of the sample disc and of two
# fixture discs must lie within 2 px of where velmaro.exe draws it, at 96 and 144 DPI.
#
# VELMARO_EXE=path takes that program instead of building it. As in tests/e2e/run.sh, the program is the
# shipped i686 one, run through scripts/wine32.sh; VELMARO_AUTHOR_ARCH=win64 takes the 64-bit build instead.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"

arch="${VELMARO_AUTHOR_ARCH:-win32}"
# Where the end-to-end run found that the i686 program cannot be run here, compare with the x86_64 build.
if [[ -z "${VELMARO_AUTHOR_ARCH:-}" && -s "$repo/build/e2e/route.txt" ]]; then
  echo "preview-vs-wine: the x86_64 build (build/e2e/route.txt says why)" >&2
  arch=win64
  unset VELMARO_EXE
fi
if [[ $arch == win32 ]]; then
  loader=$("$repo/scripts/wine32.sh")
  wine64="$(dirname "$loader")/wine64"
  wineserver="$(dirname "$loader")/wineserver"
else
  loader=/usr/lib/wine/wine64
  wine64=$loader
  wineserver=/usr/lib/wine/wineserver
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
  --loader "$loader" --wine64 "$wine64" --wineserver "$wineserver" --arch "$arch" "$@"
