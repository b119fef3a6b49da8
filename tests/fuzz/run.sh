#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan, UBSan) and runs each for a bounded time over its seed corpus.
# Exits non-zero when a target finds a crash, a broken invariant, a leak or a hang; the input that did it is
# left under build/fuzz/runs/<target>/findings/.
#
# Usage: tests/fuzz/run.sh [seconds-per-target]     (default 12; seven targets, about a minute and a
# half in all)
set -euo pipefail

seconds=${1:-12}
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"

if ! command -v clang++ >/dev/null; then
  echo "run.sh: clang++ not found; the fuzz targets need clang and libFuzzer (Debian: clang libclang-rt-14-dev)" >&2
  exit 2
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

targets=(kavo menu fields numbers launch disc_tree png)
runs=build/fuzz/runs
status=0
for target in "${targets[@]}"; do
  dir=$runs/$target
  mkdir -p "$dir/corpus" "$dir/findings"
  # New inputs go to the first directory, so the committed seeds stay as they are.
  if build/fuzz/tests/fuzz/fuzz_$target -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$dir/findings/" "$dir/corpus" "tests/fuzz/corpus/$target" >"$dir/log" 2>&1; then
    echo "fuzz_$target: $(grep -E '^#[0-9]+' "$dir/log" | tail -n 1)"
  else
    echo "fuzz_$target: FINDING, see $dir/log and $dir/findings/" >&2
    tail -n 40 "$dir/log" >&2
    status=1
  fi
done
exit $status
