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
# VELMARO_EXE=path takes that program instead of building it (and VELMARO_DESIGNER=path the designer).
# VELMARO_E2E_ARCH=win64 runs the same sources built for x86_64 instead of the shipped i686 program
# (win32, the default). Wine runs the i686 program through scripts/wine32.sh: natively where the
# kernel runs 32-bit code, else with its 32-bit loader under qemu's user-mode emulator.
#
# Where that route cannot start at all (no prefix, or no 32-bit program runs), the cases run on the x86_64
# build rather than not at all, and build/e2e/route.txt says why; scripts/test.sh repeats it at its end.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"

for a in "$@"; do
  [[ $a == --list ]] && exec python3 -B "$here/harness.py" "$@"
done

missing=()
for tool in i686-w64-mingw32-g++ x86_64-w64-mingw32-g++ wine Xvfb xdotool sox python3 cmake; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
[[ -x /usr/bin/convert ]] || missing+=("convert (imagemagick)")
if ((${#missing[@]})); then
  echo "e2e: missing tools: ${missing[*]}" >&2
  echo "e2e: scripts/setup.sh installs them" >&2
  echo "0 passed, 1 failed"
  exit 1
fi

arch="${VELMARO_E2E_ARCH:-win32}"
route="$repo/build/e2e/route.txt"
[[ -n "${VELMARO_E2E_FALLEN_BACK:-}" ]] || rm -f "$route"
[[ $arch == win32 || $arch == win64 ]] || { echo "e2e: VELMARO_E2E_ARCH is win32 or win64" >&2; exit 2; }
out="$repo/build/e2e/$arch"
mkdir -p "$out"
given_exe=${VELMARO_EXE:-}

# Runs the cases on the x86_64 build when the i686 route cannot start here ($1 says why), unless the caller
# chose the build or the program.
fall_back() {
  [[ -z "${VELMARO_E2E_ARCH:-}${VELMARO_E2E_FALLEN_BACK:-}$given_exe" ]] || return 0
  {
    echo "The end-to-end cases ran on the x86_64 build: the i686 program could not be run on this machine."
    echo "$1"
  } >"$route"
  echo "e2e: the i686 route did not start; running the cases on the x86_64 build instead" >&2
  unset VELMARO_EXE
  shift
  VELMARO_E2E_ARCH=win64 VELMARO_E2E_FALLEN_BACK=1 exec "$0" "$@"
}

if [[ $arch == win32 ]]; then
  cc=i686-w64-mingw32-g++
  loader=$("$repo/scripts/wine32.sh" 2>"$out/wine32.log") ||
    fall_back "scripts/wine32.sh failed: $(cat "$out/wine32.log")" "$@"
  [[ -n $loader ]] || { cat "$out/wine32.log" >&2; echo "0 passed, 1 failed"; exit 1; }
  wine64="$(dirname "$loader")/wine64"
  wineserver="$(dirname "$loader")/wineserver"
else
  cc=x86_64-w64-mingw32-g++
  loader=/usr/lib/wine/wine64
  wine64=$loader
  wineserver=/usr/lib/wine/wineserver
fi
if [[ -z "${VELMARO_EXE:-}" ]]; then
  (cd "$repo" && cmake --preset "$arch" >"$out/configure.log" && cmake --build --preset "$arch" -j2 >"$out/build.log") ||
    { cat "$out/configure.log" "$out/build.log" 2>/dev/null | tail -40; echo "0 passed, 1 failed"; exit 1; }
  VELMARO_EXE="$repo/build/$arch/velmaro.exe"
fi

# The recorder stands for a program of the disc, built like the program under test. The probe only
# measures; built for x86_64 it runs natively, so its answers come as fast under either kind of Wine.
flags=(-std=c++17 -O2 -Wall -Wextra -Werror -static -s)
x86_64-w64-mingw32-g++ "${flags[@]}" -o "$out/probe.exe" "$here/probe.cpp" -lgdi32
"$cc" "${flags[@]}" -mwindows -o "$out/recorder.exe" "$here/recorder.cpp"
# Reads the program's accessible object as a screen reader would; built like the program, so the two talk
# through Wine's marshalling of one kind of process.
"$cc" "${flags[@]}" -o "$out/accprobe.exe" "$here/accprobe.cpp" -loleacc -loleaut32 -lole32 -luuid

set +e +o pipefail
python3 -B "$here/harness.py" --exe "$VELMARO_EXE" --probe "$out/probe.exe" --recorder "$out/recorder.exe" \
  --accprobe "$out/accprobe.exe" --designer "${VELMARO_DESIGNER:-$repo/build/$arch/tools/design/velmaro-design.exe}" \
  --loader "$loader" --wine64 "$wine64" --wineserver "$wineserver" --arch "$arch" "$@" | tee "$out/harness.log"
code=${PIPESTATUS[0]}
set -e -o pipefail
if ((code == 3)) && [[ $arch == win32 ]]; then
  fall_back "$(grep -A40 '^e2e: Wine did not start' "$out/harness.log")" "$@"
fi
exit "$code"
