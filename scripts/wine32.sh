#!/usr/bin/env bash
# Prints the path of a Wine loader that runs 32-bit Windows programs on this machine, setting it up first
# where needed:
#
#   wine=$(scripts/wine32.sh)
#   WINEPREFIX=$PWD/build/my-prefix "$(dirname "$wine")/wine64" wineboot -i   # a new prefix, once
#   WINEPREFIX=$PWD/build/my-prefix "$wine" build/win32/velmaro.exe
#   WINEPREFIX=$PWD/build/my-prefix "$(dirname "$wine")/wineserver" -k         # ends it all
#
# Beside the loader lie the wine64 and wineserver that go with it. A prefix is an ordinary 64-bit one; make
# it with that wine64, so that its 32-bit half is set up through the same loader.
#
# Where the kernel runs 32-bit code this is Debian's own /usr/lib/wine/wine. Where it does not (ia32
# emulation off, as on our CI), Wine's 32-bit loader alone runs under qemu's user-mode emulator, from
# build/wine32/; the wineserver and every 64-bit process stay native, and nothing is registered with the
# machine (no binfmt). Packages: qemu-user, wine32:i386, libc6:i386, gcc (scripts/setup.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo /usr/lib/wine/wine
  exit 0
fi

for need in /usr/bin/qemu-i386 /usr/lib/wine/wine /usr/lib/wine/wine64 /usr/lib/i386-linux-gnu/libc.so.6 gcc; do
  if ! command -v "$need" >/dev/null; then
    echo "wine32: $need is missing; run scripts/setup.sh" >&2
    exit 1
  fi
done

top=$root/build/wine32
bin=$top/usr/lib/wine
preload=$top/preload
mkdir -p "$bin" "$preload/lib/i386-linux-gnu" "$preload/lib/x86_64-linux-gnu"

# Wine 8 takes the folder of its own binary, not WINELOADER, as the place to start further processes from:
# so the loaders here are real copies, and Wine's relative paths to its DLLs and data must resolve from here.
ln -sfn /usr/lib/i386-linux-gnu "$top/usr/lib/i386-linux-gnu"
ln -sfn /usr/lib/x86_64-linux-gnu "$top/usr/lib/x86_64-linux-gnu"
ln -sfn /usr/share "$top/usr/share"
ln -sfn /usr/lib/wine/wineserver "$bin/wineserver"
for pair in wine:wine-i386 wine64:wine64; do
  if ! cmp -s "/usr/lib/wine/${pair%%:*}" "$bin/${pair##*:}"; then
    cp "/usr/lib/wine/${pair%%:*}" "$bin/${pair##*:}.new.$$"
    mv "$bin/${pair##*:}.new.$$" "$bin/${pair##*:}"
  fi
done

# The loader: the i386 copy under qemu, named as this script (-0) so that Wine starts its further 32-bit
# processes through it as well. $LIB picks the i386 shim for the guest and an empty twin for the native
# programs that inherit LD_PRELOAD from it.
wrapper="#!/bin/sh
exec /usr/bin/qemu-i386 -L / -E 'LD_PRELOAD=$preload/\$LIB/mmap-noreplace.so' -0 \"\$0\" '$bin/wine-i386' \"\$@\"
"
if [[ "$(cat "$bin/wine" 2>/dev/null)" != "${wrapper%$'\n'}" ]]; then
  printf '%s' "$wrapper" >"$bin/wine.new.$$"
  chmod 755 "$bin/wine.new.$$"
  mv "$bin/wine.new.$$" "$bin/wine"
fi

shim=$preload/lib/i386-linux-gnu/mmap-noreplace.so
twin=$preload/lib/x86_64-linux-gnu/mmap-noreplace.so
source=$root/scripts/wine32/mmap-noreplace.c
if [[ ! -s $shim || $source -nt $shim ]]; then
  gcc -m32 -O2 -fPIC -fno-stack-protector -nostdlib -shared -o "$shim.new.$$" "$source"
  mv "$shim.new.$$" "$shim"
fi
if [[ ! -s $twin ]]; then
  gcc -O2 -fPIC -shared -o "$twin.new.$$" -x c /dev/null
  mv "$twin.new.$$" "$twin"
fi

echo "$bin/wine"
