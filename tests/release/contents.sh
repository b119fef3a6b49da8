#!/usr/bin/env bash
# A release holds what its users are promised: the program and its sum, the sample disc that starts on both
# systems, the Linux author tool with both programs, and the Windows author tool with the designer and both
# programs beside it, whose "new" then writes a disc that starts on Windows and on Linux (run under Wine).
#
#   tests/release/contents.sh [--allow-dirty]   runs scripts/release.sh into dist/, then checks it
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"

scripts/release.sh "$@" >build/release-contents.log 2>&1 || { tail -40 build/release-contents.log; exit 1; }

failed=0
expect() { [[ -f dist/$1 ]] || { echo "contents: dist/$1 is missing" >&2; failed=1; }; }
for file in velmaro.exe SHA256SUMS velmaro FOR-DISC-AUTHORS.txt \
  sample-disc/velmaro.exe sample-disc/velmaro sample-disc/autorun.sh sample-disc/kavo.inf \
  sample-disc/menu.inf velmaro-author-linux-x86_64/bin/velmaro-author \
  velmaro-author-linux-x86_64/share/velmaro/velmaro.exe velmaro-author-linux-x86_64/share/velmaro/velmaro \
  velmaro-author-windows/velmaro-author.exe velmaro-author-windows/velmaro-design.exe \
  velmaro-author-windows/velmaro.exe velmaro-author-windows/velmaro; do
  expect "$file"
done
cmp -s dist/velmaro.exe dist/velmaro-author-windows/velmaro.exe || { echo "contents: the Windows tool's velmaro.exe is not the release's" >&2; failed=1; }
cmp -s dist/velmaro dist/velmaro-author-windows/velmaro || { echo "contents: the Windows tool's velmaro is not the release's" >&2; failed=1; }

# The Windows tool's own "new", as an author runs it from the unpacked release.
loader=$(scripts/wine32.sh)
prefix="$root/build/windows-tool-prefix"
[[ -d $prefix ]] || WINEPREFIX=$prefix WINEDEBUG=-all "$(dirname "$loader")/wine64" wineboot -i >/dev/null 2>&1
disc=$root/build/release-contents-disc
rm -rf "$disc"
WINEPREFIX=$prefix WINEDEBUG=-all "$loader" dist/velmaro-author-windows/velmaro-author.exe new "$disc" >/dev/null ||
  { echo "contents: new of the Windows tool failed" >&2; failed=1; }
for file in velmaro.exe velmaro autorun.sh; do
  [[ -f $disc/$file ]] || { echo "contents: the Windows tool's new disc has no $file" >&2; failed=1; }
done
dist/velmaro-author-linux-x86_64/bin/velmaro-author check "$disc" >/dev/null ||
  { echo "contents: the Windows tool's new disc does not pass check" >&2; failed=1; }
rm -rf "$disc"
WINEPREFIX=$prefix "$(dirname "$loader")/wineserver" -k 2>/dev/null || true

((failed)) && { echo "0 passed, 1 failed"; exit 1; }
echo "1 passed, 0 failed"
