#!/usr/bin/env bash
# Installs what building and testing need on Debian, only what is missing. Safe to run again.
set -euo pipefail

packages=(cmake g++ make libgtest-dev libgmock-dev libstb-dev clang libclang-rt-14-dev clang-format
          mingw-w64 wine wine64 wine32:i386 xvfb xdotool x11-utils imagemagick sox locales
          libcairo2-dev libpango1.0-dev libgdk-pixbuf-2.0-dev nlohmann-json3-dev fonts-dejavu-core fonts-liberation
          fonts-ipafont-gothic python3-jsonschema osslsigncode openssl faketime libunistring-dev strace
          libgtk-4-dev libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev python3-pyatspi dbus dbus-x11
          at-spi2-core)
# Named with the machine's architecture: Wine's 32-bit half brings their i386 twins, and dpkg -s would find a
# bare name ambiguous.
native=$(dpkg --print-architecture)
packages+=("gstreamer1.0-plugins-base:$native" "gstreamer1.0-plugins-good:$native")
# For scripts/wine32.sh where the kernel runs no 32-bit code. Without recommends: qemu-user's would register
# binfmt handlers for the whole machine, and we call qemu-i386 by name.
bare=(qemu-user libc6:i386 gcc)

sudo=""
if [ "$(id -u)" != 0 ]; then sudo="sudo"; fi

missing=() missing_bare=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
# npm fetches the SARIF schema for the author tools' tests; Node.js may come with its own npm.
command -v npm >/dev/null || missing+=(npm)
for p in "${bare[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing_bare+=("$p")
done
if [ $((${#missing[@]} + ${#missing_bare[@]})) -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]} ${missing_bare[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
if [ ${#missing_bare[@]} -gt 0 ]; then
  $sudo apt-get install -y -qq --no-install-recommends "${missing_bare[@]}" >/dev/null
fi
