#!/usr/bin/env bash
# Installs what building and testing need on Debian, only what is missing. Safe to run again.
set -euo pipefail

packages=(cmake g++ make libgtest-dev libgmock-dev clang libclang-rt-14-dev clang-format
          mingw-w64 wine wine64 wine32:i386 xvfb xdotool x11-utils imagemagick sox locales
          fonts-dejavu-core fonts-liberation)

sudo=""
if [ "$(id -u)" != 0 ]; then sudo="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}" >/dev/null
