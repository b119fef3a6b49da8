#!/usr/bin/env bash
# check and preview read nothing outside the disc's folder. The disc names files above its root and links
# out of it, and its parent folder holds bait. Under strace every file-system call that names a place in the
# parent, and every descriptor (-y shows where each leads, so a link followed by the kernel shows too), must
# be inside the disc. The tool's own libraries and fonts live elsewhere.
#
# Usage: tests/author/confined.sh path/to/velmaro-author
set -euo pipefail

tool=${1:?usage: confined.sh velmaro-author}
if ! command -v strace >/dev/null; then
  echo "confined.sh: strace not found (scripts/setup.sh installs it)" >&2
  exit 77
fi

work=$(mktemp -d /tmp/velmaro-confined-XXXXXX)
trap 'rm -rf "$work"' EXIT
parent=$work/parent
disc=$parent/disc
mkdir "$parent"
"$tool" new "$disc" >/dev/null

cp "$disc/images/menu.png" "$parent/bait.png"
cp "$disc/sounds/over.wav" "$parent/bait.wav"
mkdir "$parent/secret"
printf '001\r\n\r\n\r\nimages\\menu.png\r\n\r\n\r\n' >"$parent/secret/kavo.inf"

# Names that climb above the root, as Windows would take them (they stay on D:\), and links that leave.
printf '101\r\n..\\..\\bait.png\r\n\r\nimages\\menu.png\r\n..\\bait.wav\r\n\\\\server\\bait.wav\r\n' >"$disc/kavo.inf"
printf '%s\r\n' \
  '0|0|Doc|Verdana|0012|16777215|65535|900|600|3|..\..\bait.png|' \
  '0|1|Sound|Verdana|0012|16777215|65535|900|1200|8|/..\bait.wav|' \
  '0|2|Up|Verdana|0012|16777215|65535|900|1800|8|up\bait.wav|' \
  '0|3|Run|Verdana|0012|16777215|65535|900|2400|0|secret\kavo.inf -x|' \
  '0|4|Quit|Verdana|0012|16777215|65535|900|3000|6|' >"$disc/menu.inf"
rm "$disc/images/menu.png"
ln -s ../../bait.png "$disc/images/menu.png"
ln -sf "$parent/bait.wav" "$disc/sounds/intro.wav"
ln -s .. "$disc/up"
ln -s ../secret "$disc/secret"
ln -s / "$disc/everything"
ln -s . "$disc/again"

status=0
for command in check preview; do
  args=("$command" "$disc")
  [ "$command" = preview ] && args+=(--out "$work/preview")
  # SARIF names the disc by its absolute path: found without looking above it.
  [ "$command" = check ] && args+=(--format sarif)
  strace -f -qq -y -e trace=%file,%desc -o "$work/$command.trace" "$tool" "${args[@]}" >"$work/$command.out" 2>&1 || true
  # A path in the parent, quoted or as a descriptor's place, that is not the disc or inside it.
  places=$(grep -oE "[\"<]$parent[^\">]*" "$work/$command.trace" | cut -c2- | sort -u || true)
  outside=$( (grep -E '/\.\.(/|$)' <<<"$places"; grep -vxE "$disc(/[^/]+)*" <<<"$places") | sed '/^$/d' || true)
  # Or a climb from a descriptor of the folder.
  climbs=$(grep -E '^[0-9]+ +[a-z0-9_]+at2?\([0-9]+, "(\.\.|[^"]*/\.\.)(/|")' "$work/$command.trace" || true)
  if [ -n "$outside$climbs" ]; then
    echo "confined.sh: $command reached outside $disc:" >&2
    printf '%s\n%s\n' "$outside" "$climbs" | sed '/^$/d' | sort -u | head -n 20 >&2
    status=1
  fi
  if ! grep -q "\"$disc" "$work/$command.trace"; then
    echo "confined.sh: $command never opened the disc; strace saw nothing?" >&2
    status=1
  fi
done
[ $status = 0 ] && echo "confined.sh: check and preview stayed inside the disc's folder"
exit $status
