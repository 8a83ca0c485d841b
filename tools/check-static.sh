#!/bin/bash
# Static checks of the shipped 32-bit programs, read from their bytes, for what Wine cannot
# show: what they import and every import slot, their manifest, their PE header, that two
# builds give the same bytes, and the release command's signed package. One check runs
# under Wine: the signed package's Setup.exe started up to the licence page. One line per
# check: "static ok: ..." or "static FAILED: ...". Run by tools/test.sh after the builds.
set -uo pipefail
cd "$(dirname "$0")/.."
shipped=build/i686
status=0
check() {  # check NAME DETAIL CONDITION...: runs the condition, reports it
  local name=$1 detail=$2
  shift 2
  if "$@"; then
    echo "static ok: $name $detail"
  else
    echo "static FAILED: $name $detail"
    status=1
  fi
}
header() { i686-w64-mingw32-objdump -p "$1" 2>/dev/null; }
# "dll function" for each import: the import table's, and the functions of the DLLs loaded
# on first use, which only the program's lists in cmake/delay/<program>/ can bring in.
delay_lists() { echo cmake/delay/"$(basename "$1" .exe)"/*.def; }
imports() {
  header "$1" | awk '/DLL Name:/ {dll = tolower($3)} /^\t[0-9a-f]+\t +[0-9]+  / {print dll, $3}'
  awk '/^LIBRARY/ {dll = tolower($2)} /@/ {sub(/@.*/, ""); print dll, $1}' $(delay_lists "$1")
}

# Windows DLLs only, and of those only functions that Windows 7 SP1 exports (see the list).
system_dlls() {
  [ "$(header "$1" | grep -o 'file format .*')" = "file format pei-i386" ] &&
    ! header "$1" | awk '/DLL Name:/ {print tolower($3)}' |
      grep -qvE '^(kernel32|user32|gdi32|shell32|ole32|oleaut32|advapi32|comctl32|msvcrt)\.dll$'
}
# The first window needs neither the shell nor COM: their DLLs are loaded on first use.
on_first_use() {
  [ -n "$(header "$1" | grep 'DLL Name:')" ] &&
    ! header "$1" | grep -qiE 'DLL Name: (shell32|ole32|oleaut32)\.dll'
}
windows7() {
  local newer
  [ -n "$(header "$1" | grep 'DLL Name:')" ] || return 1
  newer=$(comm -23 <(imports "$1" | sort -u) <(grep -v '^#' tools/windows7-imports.txt | sort -u))
  [ -z "$newer" ] || echo "  not on tools/windows7-imports.txt:" $newer
  [ -z "$newer" ]
}
# Relocatable (with its relocations), no execution of data, terminal-server aware,
# Windows 7 (6.1) as the subsystem version, and no time stamp.
pe_header() {
  local h
  h=$(header "$1")
  grep -q DYNAMIC_BASE <<<"$h" && grep -q NX_COMPAT <<<"$h" &&
    grep -q TERMINAL_SERVICE_AWARE <<<"$h" && grep -qP '^MajorSubsystemVersion\t6$' <<<"$h" &&
    grep -qP '^MinorSubsystemVersion\t1$' <<<"$h" &&
    grep -qP '^Entry 5 [0-9a-f]{8} 0*[1-9a-f][0-9a-f]* Base Relocation' <<<"$h" &&
    grep -qP '^Time/Date\t+Thu Jan  1 00:00:00 1970$' <<<"$h"
}
# Administrator rights, version 6 of the common controls for x86, Windows 7 to 11.
manifest() {
  diff <(tools/manifest.py "$1") - <<'EXPECTED'
dependency Microsoft.Windows.Common-Controls 6.0.0.0 x86 6595b64144ccf1df
level requireAdministrator uiAccess false
supportedOS {35138b9a-5d96-4fbd-8e2d-a2440225f93a}
supportedOS {4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}
supportedOS {1f676c76-80e1-4239-95bb-83d0f6d0da78}
supportedOS {8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}
dpiAware true
EXPECTED
}
for exe in "$shipped/Setup.exe" "$shipped/Uninstall.exe"; do
  name=$(basename "$exe")
  check imports "$name ($(stat -c %s "$exe" 2>/dev/null) bytes): $(header "$exe" |
    awk '/DLL Name:/ {printf "%s ", $3}')" system_dlls "$exe"
  check windows7 "$name: every import exists in Windows 7 SP1" windows7 "$exe"
  check delayed "$name: shell32, ole32 and oleaut32 loaded on first use" on_first_use "$exe"
  check slots "$name: every import slot names its function, every slot loaded on first use holds \
its stub's address" tools/slots.py "$exe" $(delay_lists "$exe")
  check pe "$name: ASLR, NX, terminal-server aware, subsystem 6.1, no time stamp" pe_header "$exe"
  check manifest "$name: requireAdministrator, common controls 6.0 x86, Windows 7 to 11" \
    manifest "$exe"
done

# The same sources built a second time, copied to another folder and built there.
again=build/repro
reproducible() {
  rm -rf "$again" && mkdir -p "$again/src" &&
    cp -r CMakeLists.txt cmake common Setup tools "$again/src/" &&
    "$again/src/tools/build.sh" shipped >"$again/build.log" 2>&1 &&
    cmp "$shipped/Setup.exe" "$again/src/build/i686/Setup.exe" &&
    cmp "$shipped/Uninstall.exe" "$again/src/build/i686/Uninstall.exe"
}
check reproducible "Setup.exe, Uninstall.exe: built again in $again, the same bytes" reproducible

# The release command on the sample package, signed with a throwaway certificate.
work=build/release-test
product=build/i686/pacchetto
rm -rf "$work" && mkdir -p "$work"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=QelSoftware (prova)" \
  -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout pass:prova \
  -out "$work/cert.p12"
QEL_CERT=$work/cert.p12 QEL_CERT_PASSWORD=prova tools/release.sh "$product" "$work/firmato" \
  >"$work/release.log" 2>&1
verified() {
  osslsigncode verify -CAfile "$work/cert.pem" -in "$work/firmato/Uninstall.exe" >/dev/null 2>&1 &&
    osslsigncode verify -CAfile "$work/cert.pem" -in "$work/firmato/Setup.exe" >/dev/null 2>&1
}
check release "signed: osslsigncode verifies Setup.exe and Uninstall.exe" verified
# The signed Setup.exe itself, as users get it, under 32-bit Wine.
starts() {
  tests/e2e/wine-run.sh build/i686/driver.exe the_package_starts_and_opens_the_licence_page \
    "$PWD/build/i686" "Z:${PWD//\//\\}\\${work//\//\\}\\firmato" >"$work/starts.log" 2>&1
}
check release "signed: the package's Setup.exe starts under Wine and opens the licence page" starts
eleven_files() {
  diff <(ls -A "$work/firmato") - <<'EXPECTED'
QelPictura.exe
Setup.exe
Uninstall.exe
asycfilt.dll
comcat.dll
happysmile.qelpictura
help.htm
msvbvm60.dll
oleaut32.dll
olepro32.dll
stdole2.tlb
EXPECTED
}
check release "package: the two programs and the nine product files, flat" eleven_files
# Without its signature a signed program is the reproducible build again, but for the
# PE checksum, which signing tools recompute.
same_but_checksum() {
  local checksum
  checksum=$(($(od -An -tu4 -j60 -N4 "$1") + 88 + 1))  # 1-based, as cmp counts
  [ "$(stat -c %s "$1")" = "$(stat -c %s "$2")" ] &&
    cmp -l "$1" "$2" | awk -v at="$checksum" '$1 < at || $1 > at + 3 {differ = 1} END {exit differ}'
}
unsigned_is_reproducible() {
  for program in Setup Uninstall; do
    osslsigncode remove-signature -in "$work/firmato/$program.exe" -out "$work/$program.exe" \
      >/dev/null 2>&1 && same_but_checksum "$work/$program.exe" "$again/src/build/i686/$program.exe" ||
      return 1
  done
}
check release "unsigned again: the bytes of the reproducible build" unsigned_is_reproducible
# Without a certificate: an unsigned package, said so. A product file missing: its name
# said, and no package.
unsigned() {
  tools/release.sh "$product" "$work/nonfirmato" 2>&1 | grep -q "UNSIGNED package" &&
    cmp -s "$work/nonfirmato/Setup.exe" "$shipped/Setup.exe"
}
check release "without a certificate: unsigned, and said so" unsigned
missing_file() {
  mkdir -p "$work/prodotto" && cp "$product"/* "$work/prodotto/" && rm "$work/prodotto/help.htm" &&
    ! tools/release.sh "$work/prodotto" "$work/incompleto" >"$work/incompleto.log" 2>&1 &&
    grep -q '"help.htm" is missing' "$work/incompleto.log" && [ ! -e "$work/incompleto" ]
}
check release "a product file missing: named, and no package" missing_file
exit $status
