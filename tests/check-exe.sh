#!/usr/bin/env bash
# The shipped program: a 32-bit GUI exe of at most 300 KB that imports only system DLLs Windows takes from
# its system folder, so it needs no runtime and no import of it can be a DLL planted beside it on the disc;
# and it binds the calls that keep the disc out of the search for DLLs loaded later (platform/win32/sysdll.h).
set -euo pipefail
exe=${1:-build/win32/velmaro.exe}
dump=$(i686-w64-mingw32-objdump -p "$exe")

fail() { echo "check-exe: $*" >&2; exit 1; }
grep -q "^Magic.*010b" <<<"$dump" || fail "$exe is not a 32-bit (PE32) program"
grep -qE "^Subsystem\s+0+2\b" <<<"$dump" || fail "$exe is not a GUI program"
allowed="KERNEL32.dll USER32.dll GDI32.dll msvcrt.dll"
for dll in $(awk '/DLL Name:/ {print $3}' <<<"$dump"); do
  [[ " $allowed " == *" $dll "* ]] || fail "$exe imports $dll"
done
names=$(strings -a "$exe")
for call in SetDllDirectoryW SetDefaultDllDirectories; do
  grep -qx "$call" <<<"$names" || fail "$exe does not bind $call at run time"
done
# Small enough for any disc and quick to start from a slow drive; no packer (scanners distrust them).
limit=300000
size=$(stat -c %s "$exe")
((size <= limit)) || fail "$exe is $size bytes, more than $limit"
echo "check-exe: $exe is a 32-bit GUI program of $(stat -c %s "$exe") bytes importing only: $allowed"
