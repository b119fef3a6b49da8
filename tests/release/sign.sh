#!/usr/bin/env bash
# scripts/sign.sh signs the program with a certificate made here for the purpose (a throwaway CA and a
# code-signing certificate it issued; no time-stamp server, so no network), the signature verifies against
# that CA only, removing it gives back the program's bytes, and the signed program still launches a program
# of its disc with its parameters under Wine.
#
#   tests/release/sign.sh [velmaro.exe]     default build/win32/velmaro.exe, built when missing
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
exe=${1:-build/win32/velmaro.exe}
if [[ ! -f $exe ]]; then
  cmake --preset win32 >/dev/null && cmake --build --preset win32 -j2 >/dev/null
fi
exe=$(realpath "$exe")
work="$root/build/sign-test"
rm -rf "$work"
mkdir -p "$work"
cd "$work"

passed=0 failed=0
check() { # description, then a command that must succeed
  local what=$1
  shift
  if "$@" >>log 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "sign: FAILED: $what" >&2
    tail -15 log >&2
  fi
}
fails() { ! "$@"; }

# A throwaway CA, a code-signing certificate it issued, and a CA that issued nothing here.
ca() { openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.pem" -days 2 -subj "/CN=$2" \
  -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>>log; }
ca ca "Throwaway test CA"
ca other "Another test CA"
echo "throwaway password" >password
cp password key-password # openssl reads the second line of a file named for both -passin and -passout
openssl req -newkey rsa:2048 -passout file:password -keyout signer.key -out signer.csr \
  -subj "/CN=Throwaway disc author" 2>>log
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile signer.ext \
  -out signer.pem 2>>log
openssl pkcs12 -export -in signer.pem -inkey signer.key -passin file:key-password -certfile ca.pem \
  -passout file:password -out signer.p12

# The two ways to give the certificate: one PKCS#12 file, password from a file; a PEM certificate and an
# encrypted PEM key, password on standard input. Then the same checks of each signed program.
sign_pkcs12() { "$root/scripts/sign.sh" --pkcs12 signer.p12 --pass-file password --ca ca.pem "$@"; }
sign_pem() { "$root/scripts/sign.sh" --cert signer.pem --key signer.key --pass-file - --ca ca.pem "$@" <password; }
for route in pkcs12 pem; do
  signed=$route.exe
  check "$route: sign.sh signs and verifies" "sign_$route" "$exe" "$signed"
  check "$route: the signature verifies against the throwaway CA" osslsigncode verify -in "$signed" -CAfile ca.pem
  check "$route: ... and not against another CA" fails osslsigncode verify -in "$signed" -CAfile other.pem
  check "$route: removing the signature gives back the program" \
    bash -c 'osslsigncode remove-signature -in "$0" -out "$0.bare" && cmp "$0.bare" "$1"' "$signed" "$exe"
  check "$route: sign.sh refuses a program signed already" fails "sign_$route" "$signed" "again-$signed"
done
cp "$exe" in-place.exe
check "sign.sh signs in place" sign_pkcs12 in-place.exe
check "... and that is the same program signed" bash -c 'osslsigncode remove-signature -in in-place.exe \
  -out in-place.bare && cmp in-place.bare "$0"' "$exe"
cp "$exe" untrusted.exe
check "sign.sh fails when the signature does not verify against the CA it is given" \
  fails "$root/scripts/sign.sh" --pkcs12 signer.p12 --pass-file password --ca other.pem untrusted.exe
check "... and leaves the program as it was" cmp untrusted.exe "$exe"

echo "sign: $passed passed, $failed failed"
((failed == 0)) || { echo "$passed passed, $failed failed"; exit 1; }

# A signature must not change what the program does.
echo "sign: one end-to-end case with the signed program"
VELMARO_EXE="$work/pkcs12.exe" "$root/tests/e2e/run.sh" -k 'type 0 launches a program of the disc with its parameters$'
