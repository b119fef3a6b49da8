#!/usr/bin/env bash
# End-to-end tests of the Windows program under Wine on a virtual display.
#
#   tests/e2e/run.sh                 build, then run every case
#   tests/e2e/run.sh -k 'hover|dashes'   only the cases whose title matches
#   tests/e2e/run.sh --list          list the cases
#   tests/e2e/run.sh --keep          keep discs and traces for a look afterwards
#
# The double-byte cases run under the ja_JP.UTF-8 locale (code page 932); the harness makes
# it with localedef (package locales) when it is missing.
#
# VELMARO_EXE=path takes that program instead of building it.
# VELMARO_E2E_ARCH=win32|win64 forces the kind of program; by default win32, the shipped
# program, and win64 (the same sources built for x86_64) only where this machine's
# kernel cannot run 32-bit code, so Wine's 32-bit loader cannot start at all.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"

missing=()
for tool in i686-w64-mingw32-g++ x86_64-w64-mingw32-g++ wine Xvfb xdotool sox python3 cmake; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
[[ -x /usr/bin/convert ]] || missing+=("convert (imagemagick)")
if ((${#missing[@]})); then
  echo "e2e: missing tools: ${missing[*]}" >&2
  echo "e2e: apt-get install mingw-w64 wine wine64 wine32:i386 xvfb xdotool imagemagick sox cmake" >&2
  echo "0 passed, 1 failed"
  exit 1
fi

arch="${VELMARO_E2E_ARCH:-}"
if [[ -z "$arch" ]]; then
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    arch=win32
  else
    arch=win64
    echo "e2e: NOTE: this kernel cannot run 32-bit programs, so Wine cannot start a 32-bit exe here;"
    echo "e2e: NOTE: testing the same sources built as a 64-bit Windows program instead."
  fi
fi

out="$repo/build/e2e/$arch"
mkdir -p "$out"
if [[ $arch == win32 ]]; then
  cc=i686-w64-mingw32-g++
  loader=wine
  wineserver=wineserver
  if [[ -z "${VELMARO_EXE:-}" ]]; then
    (cd "$repo" && cmake --preset win32 >"$out/configure.log" && cmake --build --preset win32 >"$out/build.log") ||
      { cat "$out/configure.log" "$out/build.log" 2>/dev/null | tail -40; echo "0 passed, 1 failed"; exit 1; }
    VELMARO_EXE="$repo/build/win32/velmaro.exe"
  fi
else
  cc=x86_64-w64-mingw32-g++
  loader=/usr/lib/wine/wine64
  wineserver=/usr/lib/wine/wineserver
  if [[ -z "${VELMARO_EXE:-}" ]]; then
    (cd "$repo" && cmake --preset win64 >"$out/configure.log" && cmake --build --preset win64 >"$out/build.log") ||
      { cat "$out/configure.log" "$out/build.log" 2>/dev/null | tail -40; echo "0 passed, 1 failed"; exit 1; }
    VELMARO_EXE="$repo/build/win64/velmaro.exe"
  fi
fi

flags=(-std=c++17 -O2 -Wall -Wextra -Werror -static -s)
"$cc" "${flags[@]}" -o "$out/probe.exe" "$here/probe.cpp" -lgdi32
"$cc" "${flags[@]}" -mwindows -o "$out/recorder.exe" "$here/recorder.cpp"

exec python3 -B "$here/harness.py" --exe "$VELMARO_EXE" --probe "$out/probe.exe" --recorder "$out/recorder.exe" \
  --loader "$loader" --wineserver "$wineserver" --arch "$arch" "$@"
