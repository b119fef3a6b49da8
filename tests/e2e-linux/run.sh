#!/usr/bin/env bash
# The Linux program end to end: builds it and the recorder, then runs the cases on a virtual display inside
# a session bus of their own (screen readers' AT-SPI bus included). Arguments go to run.py (-k PATTERN).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
cmake --preset host >/dev/null
cmake --build --preset host -j2 --target velmaro velmaro_e2e_recorder
exec dbus-run-session -- python3 -B tests/e2e-linux/run.py --program build/host/platform/gtk/velmaro \
  --recorder build/host/tests/gtk/velmaro_e2e_recorder "$@" 2> >(grep -v '^dbus-daemon\[' >&2)
