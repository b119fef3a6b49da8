#!/usr/bin/env bash
# check's JSON and SARIF outputs against their schemas, on a disc with a finding of every severity, and its
# exit statuses. The SARIF 2.1.0 schema comes with Microsoft's SARIF multitool package from npm (cached in
# build/npm).
#   tests/author/formats.sh [path-to-velmaro-author]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tool=${1:-$root/build/host/tools/author/velmaro-author}
sarif_package=@microsoft/sarif-multitool-linux@5.7.0
cache=$root/build/npm
schema=$cache/sarif-2.1.0.json

if [[ ! -s $schema ]]; then
  mkdir -p "$cache"
  (cd "$cache" && npm pack --silent "$sarif_package" >/dev/null &&
    tar xzf microsoft-sarif-multitool-linux-*.tgz package/sarif-2.1.0.json && mv package/sarif-2.1.0.json . &&
    rm -rf package microsoft-sarif-multitool-linux-*.tgz)
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A folder and a file whose names are no UTF-8 and hold characters a URI must encode, as an old disc's may.
disc=$work/$'d\xe9j\xe0 #1'
"$tool" new "$disc" >/dev/null
: >"$disc/docs/"$'what?\xe9.txt'
printf '10\r\nimages\\splash.png\r\n\r\nimages\\menu.png\r\nsounds\\gone.wav\r\n\r\n' >"$disc/kavo.inf"
printf '0|0|A|Verdana|0012|255|white|900|600|7|\r\n0|50|B|Verdana|0012|255|65535|900|900|7|\r\n' >"$disc/menu.inf"
rm -f "$disc/velmaro.exe"

status=0
"$tool" check "$disc" --format json >"$work/check.json" || status=$?
[[ $status == 1 ]] || { echo "formats: check exited $status on a disc with errors, not 1" >&2; exit 1; }
"$tool" check "$disc" --format sarif >"$work/check.sarif" || true
"$tool" check "$root/disc" >/dev/null || { echo "formats: check failed on the sample disc" >&2; exit 1; }
status=0
"$tool" check "$work/none" >/dev/null 2>&1 || status=$?
[[ $status == 2 ]] || { echo "formats: check exited $status on a missing folder, not 2" >&2; exit 1; }

# Debian's Python, which python3-jsonschema serves.
/usr/bin/python3 - "$root/tools/author/check.schema.json" "$work/check.json" "$schema" "$work/check.sarif" <<'PY'
import json, re, sys
import jsonschema
own, doc, sarif_schema, sarif = sys.argv[1:]
checked = json.load(open(doc))
jsonschema.validate(checked, json.load(open(own)), cls=jsonschema.Draft202012Validator)
severities = {f["severity"] for f in checked["findings"]}
assert severities == {"error", "warning", "note"}, severities
log = json.load(open(sarif))
jsonschema.validate(log, json.load(open(sarif_schema)), cls=jsonschema.Draft202012Validator)
results = log["runs"][0]["results"]
assert len(results) == len(checked["findings"]), (len(results), len(checked["findings"]))
rules = {r["id"] for r in log["runs"][0]["tool"]["driver"]["rules"]}
assert all(r["ruleId"] in rules for r in results)
# Every URI is a URI reference (RFC 3986): only its characters, and % only before two hex digits.
uri = re.compile(r"(?:[A-Za-z0-9\-._~:/?#\[\]@!$&'()*+,;=]|%[0-9A-Fa-f]{2})*")
uris = [log["runs"][0]["originalUriBaseIds"]["DISC"]["uri"]]
for r in results:
    for place in r["locations"] + r.get("relatedLocations", []):
        uris.append(place["physicalLocation"]["artifactLocation"]["uri"])
bad = [u for u in uris if not uri.fullmatch(u)]
assert not bad, bad
assert any("%E9" in u for u in uris), uris
print("formats: JSON and SARIF valid, %d findings" % len(results))
PY
