#!/usr/bin/env bash
# Builds everything and runs every test: unit tests (plain and under ASan/UBSan), the release (reproducible,
# signed), the Windows program under Wine end to end, and a short run of each fuzz target.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh

echo "== unit tests"
cmake --preset host >/dev/null
cmake --build --preset host -j2
ctest --preset host -j2

echo "== author tools: the end-to-end cases' menus against check, output formats"
python3 -B tests/e2e/harness.py --write-menus build/e2e-menus
build/host/tests/author/velmaro_author_tests --gtest_filter='Differential.*' --gtest_brief=1
tests/author/formats.sh

echo "== the Linux program end to end (virtual display, session bus)"
tests/e2e-linux/run.sh

echo "== unit tests under ASan and UBSan"
cmake --preset asan >/dev/null
cmake --build --preset asan -j2
ctest --preset asan -j2

echo "== Windows program"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2
tests/check-exe.sh build/win32/velmaro.exe

echo "== author tool on Windows: check under Wine against the Linux build"
tests/author/windows-vs-linux.sh

echo "== release: the same bytes from two builds of HEAD, and signing"
tests/release/reproducible.sh
tests/release/sign.sh build/win32/velmaro.exe

if [ -x tests/fuzz/run.sh ]; then
  echo "== fuzz targets (short run)"
  tests/fuzz/run.sh
fi

if [ -x tests/e2e/run.sh ]; then
  echo "== end to end under Wine"
  tests/e2e/run.sh
fi

if [ -x tests/author/preview-vs-wine.sh ]; then
  echo "== author preview against the program under Wine"
  tests/author/preview-vs-wine.sh
fi

if [ -s build/e2e/route.txt ]; then
  echo "== NOTE"
  cat build/e2e/route.txt
fi
