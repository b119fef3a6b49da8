#!/usr/bin/env bash
# Signs velmaro.exe with the disc author's code-signing certificate (Authenticode, SHA-256) and verifies
# the signature.
#
#   scripts/sign.sh --pkcs12 me.p12 --pass-file pw.txt [options] velmaro.exe [signed.exe]
#   scripts/sign.sh --cert chain.pem --key key.pem [--pass-file pw.txt] [options] velmaro.exe [signed.exe]
#
#   --pkcs12 FILE      certificate, its chain and key in one PKCS#12 (.p12, .pfx) file
#   --cert FILE        PEM certificate followed by any intermediate certificates, with --key FILE
#   --key FILE         PEM private key
#   --pass-file FILE   the password of the PKCS#12 file or of the key; "-" reads it from standard input
#   --ts URL           an RFC 3161 time-stamp server, so the signature outlives the certificate
#   --ca FILE          the CA certificates to verify against (default: the system's)
#   --tsa-ca FILE      the CA certificates of the time-stamp server (default: the system's)
#   --name TEXT        what Windows shows as the program's description (default: Velmaro disc menu)
#   --url URL          the publisher's web page shown beside it
#
# Without signed.exe the file is signed in place. The signature is only added: removing it
# (osslsigncode remove-signature) gives back the unsigned bytes, which this script checks.
set -euo pipefail

usage() {
  sed -n '2,/^set -euo/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//' >&2
  exit 2
}
die() { echo "sign: $*" >&2; exit 1; }

key_args=() pass_args=() ts_args=() verify_args=() name="Velmaro disc menu" url="" in="" out=""
while (($#)); do
  case $1 in
    --pkcs12) key_args+=(-pkcs12 "$2"); shift ;;
    --cert) key_args+=(-certs "$2"); shift ;;
    --key) key_args+=(-key "$2"); shift ;;
    --pass-file) pass_args=(-readpass "$2"); shift ;;
    --ts) ts_args+=(-ts "$2"); shift ;;
    --ca) verify_args+=(-CAfile "$2"); shift ;;
    --tsa-ca) verify_args+=(-TSA-CAfile "$2"); shift ;;
    --name) name=$2; shift ;;
    --url) url=$2; shift ;;
    -h | --help) usage ;;
    -*) die "unknown option $1" ;;
    *)
      if [[ -z $in ]]; then in=$1; elif [[ -z $out ]]; then out=$1; else usage; fi
      ;;
  esac
  shift
done
[[ -n $in ]] || usage
[[ -f $in ]] || die "no file $in"
((${#key_args[@]})) || die "which certificate? --pkcs12 FILE, or --cert FILE --key FILE"
command -v osslsigncode >/dev/null || die "osslsigncode is missing: apt-get install osslsigncode"
out=${out:-$in}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# Older osslsigncode reads no password from standard input: through a file only we can read.
if [[ ${pass_args[1]:-} == - ]]; then
  (umask 077 && cat >"$tmp/password")
  pass_args=(-readpass "$tmp/password")
fi

# An exe that is already signed would get a second, nested signature or none: start from the bare program.
if osslsigncode extract-signature -in "$in" -out "$tmp/old.sig" >/dev/null 2>&1; then
  die "$in is signed already; sign the unsigned program"
fi

args=(sign "${key_args[@]}" "${pass_args[@]}" -h sha256 -n "$name")
[[ -n $url ]] && args+=(-i "$url")
args+=("${ts_args[@]}")
osslsigncode "${args[@]}" -in "$in" -out "$tmp/signed.exe" >"$tmp/sign.log" 2>&1 ||
  { cat "$tmp/sign.log" >&2; die "signing failed"; }

osslsigncode verify -in "$tmp/signed.exe" "${verify_args[@]}" >"$tmp/verify.log" 2>&1 ||
  { cat "$tmp/verify.log" >&2; die "the signature does not verify"; }

osslsigncode remove-signature -in "$tmp/signed.exe" -out "$tmp/bare.exe" >/dev/null 2>&1 &&
  cmp -s "$tmp/bare.exe" "$in" || die "signing changed the program itself"

bare_sum=$(sha256sum <"$in" | cut -d' ' -f1)
cp "$tmp/signed.exe" "$out"
grep -E "Subject|Signing time|Timestamp|Signature verification" "$tmp/verify.log" | sed 's/^[[:space:]]*/  /' || true
echo "sign: $out signed and verified; SHA-256 of the unsigned program: $bare_sum"
