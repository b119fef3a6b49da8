#!/usr/bin/env bash
# Builds a release from the checked-out commit and lays it out in dist/:
#
#   dist/velmaro.exe                      the program (i686), the same bytes from the same commit anywhere
#   dist/SHA256SUMS                       its SHA-256 (sha256sum -c SHA256SUMS)
#   dist/sample-disc/                     the sample disc with the program in it
#   dist/velmaro-author-linux-x86_64/     the author tool (Release), with the programs beside it for "new"
#   dist/velmaro                          the Linux program (x86_64, GTK 4), for discs that start on Linux too
#   dist/velmaro-author-windows/          the author tool for Windows (i686, static), the designer
#                                         (velmaro-design.exe, for "design") and both programs beside it
#                                         for "new"
#   dist/FOR-DISC-AUTHORS.txt             what goes on a disc, how to test it, how to sign the program
#
#   scripts/release.sh                    all of it
#   scripts/release.sh --exe-only         only dist/velmaro.exe and dist/SHA256SUMS
#   scripts/release.sh --allow-dirty      build even with uncommitted changes (not a release then)
#
# It builds from a fresh export of the commit's files (with --allow-dirty, of the tracked files as they are
# now), never from the work tree: CMake takes every platform/win32/*.cpp it finds, so a stray file there
# would end up in the program. The program's PE time stamp is SOURCE_DATE_EPOCH, by default the commit's
# date, so rebuilding a commit gives the same bytes. Build folders and the export: build/release/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

exe_only=0 allow_dirty=0
for a in "$@"; do
  case $a in
    --exe-only) exe_only=1 ;;
    --allow-dirty) allow_dirty=1 ;;
    *) echo "usage: scripts/release.sh [--exe-only] [--allow-dirty]" >&2; exit 2 ;;
  esac
done

scripts/setup.sh

commit=$(git rev-parse --short HEAD)
tree=HEAD
if [[ -n $(git status --porcelain --untracked-files=no) ]]; then
  if ((!allow_dirty)); then
    echo "release: uncommitted changes; commit them, or pass --allow-dirty for a build that is no release" >&2
    exit 1
  fi
  commit+="-dirty"
  tree=$(git stash create) # a commit of the tracked files as they are, made without touching the tree
fi
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}

# Clean build folders: nothing left over from an earlier configuration gets into a release.
out=$root/build/release
src=$out/src
rm -rf "$out" dist
mkdir -p dist "$src"
git archive --format=tar "$tree" | tar -x -C "$src"
version=$(sed -n 's/^project(velmaro VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")

echo "== velmaro.exe $version ($commit, SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"
(cd "$src" && cmake --preset win32 -B "$out/win32" >/dev/null)
cmake --build "$out/win32" -j2 --target velmaro >"$out/win32.log" || { tail -40 "$out/win32.log"; exit 1; }
tests/check-exe.sh "$out/win32/velmaro.exe"
cp "$out/win32/velmaro.exe" dist/velmaro.exe
(cd dist && sha256sum velmaro.exe >SHA256SUMS)
((exe_only)) && { cat dist/SHA256SUMS; exit 0; }

echo "== velmaro-author and the Linux program (Release)"
tool=dist/velmaro-author-linux-x86_64
(cd "$src" && cmake --preset host -B "$out/author" -DCMAKE_BUILD_TYPE=Release -DVELMARO_TESTS=OFF \
  -DVELMARO_BENCH=OFF -DVELMARO_EXE="$root/dist/velmaro.exe" >/dev/null)
cmake --build "$out/author" -j2 --target velmaro-author velmaro >"$out/author.log" ||
  { tail -40 "$out/author.log"; exit 1; }
cmake --install "$out/author" --prefix "$tool" --strip >/dev/null

echo "== velmaro-author.exe and velmaro-design.exe (Windows)"
cmake --build "$out/win32" -j2 --target velmaro-author velmaro-design >>"$out/win32.log" ||
  { tail -40 "$out/win32.log"; exit 1; }
wintool=dist/velmaro-author-windows
mkdir -p "$wintool"
# The tool's "design" starts the designer beside it; its "new" copies the programs beside it.
cp "$out/win32/velmaro-author.exe" "$out/win32/tools/design/velmaro-design.exe" dist/velmaro.exe \
  "$tool/share/velmaro/velmaro" "$wintool/"
for exe in velmaro-author.exe velmaro-design.exe; do
  for dll in $(i686-w64-mingw32-objdump -p "$wintool/$exe" | awk '/DLL Name:/ {print $3}'); do
    case ${dll,,} in
      kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll | advapi32.dll | ole32.dll | oleaut32.dll | \
        windowscodecs.dll | shell32.dll | comctl32.dll | comdlg32.dll) ;;
      *) echo "release: $exe imports $dll, which is no system DLL" >&2; exit 1 ;;
    esac
  done
done

echo "== sample disc"
cp -r "$src/disc" dist/sample-disc
cp dist/velmaro.exe dist/sample-disc/
cp "$tool/share/velmaro/velmaro" dist/velmaro
# The Linux program and its autorun.sh as the tool puts them on a new disc.
"$tool/bin/velmaro-author" new "$out/starter" >/dev/null
cp "$out/starter/velmaro" "$out/starter/autorun.sh" dist/sample-disc/
# The release's own tool must find nothing wrong with the release's own disc.
"$tool/bin/velmaro-author" check dist/sample-disc

sed -e "s/@VERSION@/$version/g" -e "s/@COMMIT@/$commit/g" "$src/scripts/release/FOR-DISC-AUTHORS.txt" >dist/FOR-DISC-AUTHORS.txt

echo "== dist/"
(cd dist && find . -type f | sort)
cat dist/SHA256SUMS
