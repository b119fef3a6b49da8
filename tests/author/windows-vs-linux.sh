#!/usr/bin/env bash
# velmaro-author.exe under Wine against the Linux build: check's text, JSON and SARIF and its exit status on
# the sample disc, the starter disc, the end-to-end cases' menus and broken discs must be the same. Where
# they are not, the difference is shown; one in a link's measured size (link-outside, link-overlap: GDI and
# pango measure text with different fonts) is allowed and said, any other fails.
#
#   tests/author/windows-vs-linux.sh [-k PATTERN]   only the discs whose name matches
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
cd "$repo"

cmake --preset host >/dev/null
cmake --build --preset host -j2 --target velmaro-author >/dev/null
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2 --target velmaro-author >/dev/null

loader=$(scripts/wine32.sh)
prefix="$repo/build/windows-tool-prefix"
if [[ ! -d $prefix ]]; then
  WINEPREFIX=$prefix WINEDEBUG=-all "$(dirname "$loader")/wine64" wineboot -i >/dev/null 2>&1
fi
python3 -B tests/e2e/harness.py --write-menus build/e2e-menus >/dev/null

status=0
WINEPREFIX=$prefix WINEDEBUG=-all python3 -B "$here/windows_vs_linux.py" \
  --linux "$repo/build/host/tools/author/velmaro-author" --windows "$repo/build/win32/velmaro-author.exe" \
  --loader "$loader" --sample "$repo/disc" --menus "$repo/build/e2e-menus" "$@" || status=$?
WINEPREFIX=$prefix "$(dirname "$loader")/wineserver" -k 2>/dev/null || true
exit $status
