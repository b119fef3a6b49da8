#!/usr/bin/env bash
# The Linux program end to end: builds it, the author tool and the recorder, runs the cases on a virtual
# display inside a session bus of their own (screen readers' AT-SPI bus included), then compares where its
# links stand with the preview, which preview-vs-wine holds to velmaro.exe. Arguments go to run.py
# (-k PATTERN, --keep).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
cmake --preset host >/dev/null
cmake --build --preset host -j2 --target velmaro velmaro-author velmaro_e2e_recorder
# autorun.sh as velmaro-author new puts it on a disc with the Linux program.
starter=build/e2e-linux-starter
rm -rf "$starter"
mkdir -p "$starter/share"
cp build/host/platform/gtk/velmaro "$starter/share/velmaro"
printf 'MZ' >"$starter/share/velmaro.exe"
build/host/tools/author/velmaro-author new "$starter/disc" --exe "$starter/share/velmaro.exe" >/dev/null
status=0
dbus-run-session -- python3 -B tests/e2e-linux/run.py --program build/host/platform/gtk/velmaro \
  --recorder build/host/tests/gtk/velmaro_e2e_recorder --autorun "$starter/disc/autorun.sh" "$@" \
  2> >(grep -v '^dbus-daemon\[' >&2) || status=1
echo "== links of the Linux program against the preview"
python3 -B tests/e2e-linux/links_vs_preview.py --program build/host/platform/gtk/velmaro \
  --author build/host/tools/author/velmaro-author --sample disc || status=1
exit $status
