#!/usr/bin/env bash
# Signing with an organisation's certificate, here a throwaway self-signed
# one: a Windows build of its own, given the certificate, must sign the
# program before packing it (the copies in the zip and in the installer) and
# sign the installer, each with a signature that verifies against that very
# certificate; the signed installer must install under Wine, and the signed
# program start there.
#
#   check_signing.sh SOURCE_DIR WORK_DIR WINE_PREFIX
#
# WORK_DIR keeps the build and the installer test's Wine prefix between runs;
# WINE_PREFIX is the end-to-end tests' (scripts/wine-prefix.sh).
set -euo pipefail

src=$1 work=$2 prefix=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tree_checks.sh
. "$here/tree_checks.sh"
version=$(sed -n 's/^ *VERSION \([0-9.]*\)$/\1/p' "$src/CMakeLists.txt" | head -n 1)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/meravel-signing.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# A code-signing certificate and its key, in a PKCS#12 file with a password.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Meravel test signer" \
  -addext extendedKeyUsage=codeSigning -keyout "$scratch/key.pem" -out "$scratch/cert.pem" 2>/dev/null
printf 'un mot de passe\n' >"$scratch/password"
openssl pkcs12 -export -inkey "$scratch/key.pem" -in "$scratch/cert.pem" \
  -passout "file:$scratch/password" -out "$scratch/cert.p12"

build=$work/build
{ cmake -S "$src" -B "$build" --toolchain "$src/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DMERAVEL_SIGN_PKCS12="$scratch/cert.p12" -DMERAVEL_SIGN_PASSWORD_FILE="$scratch/password" &&
  cmake --build "$build" -j 2; } >"$scratch/build.log" 2>&1 || { tail -n 30 "$scratch/build.log"; exit 1; }
msi=$build/meravel-$version-x64.msi
unzip -q "$build/meravel-$version-win64.zip" -d "$scratch/zip"
msiextract -C "$scratch/msi" "$msi" >/dev/null

# Valid, and by that certificate: the only one trusted, and the signer's must
# be that very one.
leaf=$(openssl x509 -in "$scratch/cert.pem" -outform DER | sha256sum | cut -d' ' -f1)
for f in "$scratch/zip/meravel-$version/meravel.exe" "$scratch/msi/Meravel/meravel.exe" "$msi"; do
  if osslsigncode verify -CAfile "$scratch/cert.pem" -require-leaf-hash "SHA256:$leaf" -in "$f" >"$scratch/verify.log" 2>&1; then
    ok "${f#"$scratch"/} is signed by the certificate"
  else
    cat "$scratch/verify.log"
    fail "${f#"$scratch"/} does not carry a valid signature by the certificate"
  fi
done

bash "$here/check_msi.sh" "$msi" "$work/wine-msi" "$version" >"$scratch/msi.log" 2>&1 &&
  ok "the signed installer installs, repairs, upgrades and uninstalls under Wine" ||
  { cat "$scratch/msi.log"; fail "check_msi.sh fails on the signed installer"; }
python3 "$here/../e2e/run_e2e.py" --frontend win32 --wine-prefix "$prefix" --scenario opening \
  --field-probe "$build/tests/e2e/field_probe/meravel_field_probe.exe" --artifacts "$work/e2e" \
  "$scratch/zip/meravel-$version/meravel.exe" >"$scratch/e2e.log" 2>&1 &&
  ok "the signed program starts under Wine and shows its figures" ||
  { cat "$scratch/e2e.log"; fail "the signed program does not start under Wine"; }
finish
