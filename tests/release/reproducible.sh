#!/usr/bin/env bash
# Two builds of the release exe from the same commit give the same bytes. Each builds the committed HEAD
# (a fresh clone, so uncommitted work in this tree is not what is tested) with scripts/release.sh --exe-only,
# in folders of different lengths, with different time zones, umasks and locales, the second three days
# later through faketime where it is installed, and with a stray source file in its work tree that the
# release must not take in. On a difference it says which PE fields and sections differ.
#
#   tests/release/reproducible.sh          clones and builds in build/reproducible/
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work="$root/build/reproducible"
head=$(git -C "$root" rev-parse HEAD)
unset SOURCE_DATE_EPOCH # the release takes the commit's date
a="$work/a"
b="$work/a-folder-with-a-much-longer-name/b"

fail() { echo "reproducible: $*" >&2; echo "0 passed, 1 failed"; exit 1; }

clone() {
  git clone -q --no-hardlinks "$root" "$1"
  git -C "$1" checkout -q --detach "$head"
}

build() { # folder, then the command to build with
  local dir=$1
  shift
  (cd "$dir" && "$@" scripts/release.sh --exe-only >"$dir.log" 2>&1) || { tail -30 "$dir.log"; fail "build in $dir failed"; }
}

rm -rf "$work"
mkdir -p "$work"
echo "reproducible: building $head twice in $work"
clone "$a"
build "$a" env TZ=UTC LC_ALL=C bash -c 'umask 022; exec "$0" "$@"'
later=()
command -v faketime >/dev/null && later=(faketime -f +3d)
clone "$b"
# CMake takes every platform/win32/*.cpp of the tree it builds: this one would break the build.
printf '#error a file that is no part of the commit was built\n' >"$b/platform/win32/stray.cpp"
build "$b" env TZ=Pacific/Chatham LC_ALL=C.UTF-8 bash -c 'umask 077; exec "$0" "$@"' "${later[@]}"

exe_a="$a/dist/velmaro.exe" exe_b="$b/dist/velmaro.exe"
sum_a=$(sha256sum <"$exe_a" | cut -d' ' -f1)
sum_b=$(sha256sum <"$exe_b" | cut -d' ' -f1)
echo "  $sum_a  $exe_a"
echo "  $sum_b  $exe_b"

if ! cmp -s "$exe_a" "$exe_b"; then
  echo "reproducible: the two builds differ in $(cmp -l "$exe_a" "$exe_b" | wc -l) bytes" >&2
  # Each section's name, file offset and size, to name where each differing byte lies.
  sections=$(i686-w64-mingw32-objdump -h "$exe_a" | while read -r idx name size _ _ off _; do
    if [[ $idx =~ ^[0-9]+$ && $((16#$off)) -gt 0 ]]; then echo "$name $((16#$off)) $((16#$size))"; fi
  done)
  cmp -l "$exe_a" "$exe_b" | awk -v sections="$sections" '
    BEGIN { n = split(sections, s, "\n"); for (i = 1; i <= n; i++) { split(s[i], f, " "); name[i] = f[1]; from[i] = f[2]; size[i] = f[3] } }
    { o = $1 - 1; where = "headers or past the sections"; for (i = 1; i <= n; i++) if (o >= from[i] && o < from[i] + size[i]) where = name[i]; count[where]++ }
    END { for (w in count) printf "  %s: %d bytes\n", w, count[w] }' >&2 || true
  echo "reproducible: PE headers and sections, first build < > second:" >&2
  headers() { i686-w64-mingw32-objdump -p -h "$1" | sed -e '1,/file format/d' -e '/^The Data Directory/,/^Sections:/d'; }
  diff <(headers "$exe_a") <(headers "$exe_b") >&2 || true
  echo "  (build folders kept: $a, $b)" >&2
  fail "velmaro.exe is not reproducible"
fi

# What the release carries: the commit's date as the PE time stamp, no build folder, the project's version.
epoch=$(git -C "$root" log -1 --format=%ct "$head")
pe=$(od -An -tu4 -j60 -N4 "$exe_a" | tr -d ' ')
stamp=$(od -An -tu4 -j$((pe + 8)) -N4 "$exe_a" | tr -d ' ')
[[ $stamp == "$epoch" ]] || fail "the PE time stamp is $stamp, not the commit's date $epoch"
text=$(strings -a "$exe_a"; strings -a -el "$exe_a")
for dir in "$a" "$b" "$work"; do
  [[ $text != *"$dir"* ]] || fail "velmaro.exe holds the build folder $dir"
done
version=$(sed -n 's/^project(velmaro VERSION \([0-9.]*\).*/\1/p' "$a/CMakeLists.txt")
said=$(strings -a -el "$exe_a" | grep -A1 -x FileVersion | tail -1)
[[ $said == "$version" ]] || fail "the version record says \"$said\", not $version"

size=$(stat -c %s "$exe_a")
rm -rf "$work"
echo "reproducible: the same $size bytes from both folders; PE time stamp $stamp; version $version"
echo "1 passed, 0 failed"
