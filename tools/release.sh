#!/bin/bash
# The release: tools/release.sh PRODUCT_FOLDER OUT_FOLDER
# Builds the shipped 32-bit Setup.exe and Uninstall.exe, signs them when a certificate is
# given, and lays out the installation package in OUT_FOLDER, flat: the two programs and
# the nine product files taken from PRODUCT_FOLDER.
#   QEL_CERT           the signing certificate with its private key, a PKCS#12 file
#   QEL_CERT_PASSWORD  its password
#   QEL_TIMESTAMP_URL  a time-stamp server (RFC 3161), optional
# Without QEL_CERT the package is made unsigned, and the command says so.
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: tools/release.sh PRODUCT_FOLDER OUT_FOLDER" >&2
  exit 2
fi
product=$1
out=$2
root=$(cd "$(dirname "$0")/.." && pwd)
fail() {
  echo "release: $*" >&2
  exit 1
}

# The product files, by the names the installed footprint gives them.
impronta=$root/common/Impronta.h
mapfile -t names < <(sed -n 's/.*k\(Programma\|Aiuto\|Tema\)\[\] = "\([^"]*\)".*/\2/p' "$impronta"
  sed -n '/kFileSistema = {/,/}/p' "$impronta" | grep -o '"[^"]*"' | tr -d '"')
[ ${#names[@]} -eq 9 ] || fail "cannot read the nine product file names from $impronta"
for name in "${names[@]}"; do
  [ -f "$product/$name" ] || fail "the product file \"$name\" is missing from $product"
done
[ ! -e "$out" ] || [ -z "$(ls -A "$out")" ] || fail "$out is not empty"
if [ -n "${QEL_CERT:-}" ]; then
  [ -f "$QEL_CERT" ] || fail "the certificate $QEL_CERT (QEL_CERT) does not exist"
fi

# Nothing in the programs is dated; whatever a tool would date takes the commit's time.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 0)}
export SOURCE_DATE_EPOCH
"$root/tools/build.sh" shipped >/dev/null

stage=$(mktemp -d "${TMPDIR:-/tmp}/qel-release.XXXXXX")
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/pacchetto"
# The description a signature shows (Windows' elevation prompt names the program by it)
# is the program's own, from its version record.
description() { sed -n "s/^qel_program($1 \"\\([^\"]*\\)\".*/\\1/p" "$root/cmake/windows.cmake"; }
for program in Uninstall Setup; do
  if [ -n "${QEL_CERT:-}" ]; then
    (umask 077 && printf '%s' "${QEL_CERT_PASSWORD:-}" >"$stage/password")
    options=(-pkcs12 "$QEL_CERT" -readpass "$stage/password" -h sha256 -n "$(description "$program")")
    [ -z "${QEL_TIMESTAMP_URL:-}" ] || options+=(-ts "$QEL_TIMESTAMP_URL")
    osslsigncode sign "${options[@]}" -in "$root/build/i686/$program.exe" \
      -out "$stage/pacchetto/$program.exe" >"$stage/sign.log" 2>&1 ||
      fail "signing $program.exe failed: $(cat "$stage/sign.log")"
  else
    cp "$root/build/i686/$program.exe" "$stage/pacchetto/"
  fi
done
for name in "${names[@]}"; do cp "$product/$name" "$stage/pacchetto/"; done

mkdir -p "$(dirname "$out")"
[ ! -d "$out" ] || rmdir "$out"
mv "$stage/pacchetto" "$out"
if [ -n "${QEL_CERT:-}" ]; then
  echo "release: signed package in $out: $(ls "$out" | wc -l) files"
else
  echo "release: UNSIGNED package in $out (no certificate: QEL_CERT not set): $(ls "$out" | wc -l) files"
fi
