#!/bin/bash
# The benchmark: bootstrap, the release builds, a reference installer made by Debian's
# makensis for the same payload, then one run of measurements under Wine and Xvfb.
# Prints a Markdown table, also saved with a bar chart in out/bench/.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/build.sh >/dev/null
root=$PWD
out=out/bench
work=build/bench
rm -rf "$work" && mkdir -p "$work" "$out"

# The references, 32-bit like the shipped programs: the same pages, files and shortcuts,
# payload stored; and the emptiest installer makensis makes.
package=build/i686/pacchetto
makensis -V1 -DTARGET=x86-unicode -DPAYLOAD="$root/$package" -DLICENCE="$root/$package/help.htm" \
  -DOUTFILE="$root/$work/reference-x86-unicode.exe" bench/reference.nsi
makensis -V1 -DTARGET=x86-unicode -DOUTFILE="$root/$work/empty-x86-unicode.exe" bench/empty.nsi

winpath() { echo "Z:${1//\//\\}"; }
measure() {  # measure NAME [ARGUMENT...]
  local name=$1
  shift
  tests/e2e/wine-run.sh build/i686/driver.exe "$name" "$root/build/i686" "$@" >>"$work/figures.txt"
}
source tools/wine-env.sh
qel_template
: >"$work/figures.txt"
measure bench_startup "$(winpath "$root/$package/Setup.exe")" "$(winpath "$root/$package/Uninstall.exe")" \
  "$(winpath "$root/$work/reference-x86-unicode.exe")" \
  "$(winpath "$root/build/i686/bench/floor.exe")"
measure bench_runs
measure bench_large

figure() { grep -F "figure|$1|" "$work/figures.txt" | tail -1 | cut -d'|' -f3 || true; }
size() { stat -c %s "$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "" || b == "" || b == 0) print "n/a"; else printf "%.3f", a / b }'; }
imports() { objdump -p "$1" | awk '/DLL Name:/ { printf "%s ", $3 }'; }

setup_size=$(size build/i686/Setup.exe)
uninstall_size=$(size build/i686/Uninstall.exe)
reference_size=$(size "$work/reference-x86-unicode.exe")
empty_size=$(size "$work/empty-x86-unicode.exe")
ours=$(figure "startup_median_ms Setup.exe")
uninstall=$(figure "startup_median_ms Uninstall.exe")
theirs=$(figure "startup_median_ms reference-x86-unicode.exe")
floor=$(figure "startup_median_ms floor.exe")
runs=$(figure "startup_runs floor.exe")
spread() { echo "$(figure "startup_min_ms $1")–$(figure "startup_max_ms $1")"; }

{
  echo "| figure | ours | reference (makensis) | ours / reference | target |"
  echo "|---|---|---|---|---|"
  echo "| Setup.exe size, i686 (bytes) | $setup_size | $reference_size (empty installer: $empty_size) | $(ratio "$setup_size" "$reference_size") (/ empty: $(ratio "$setup_size" "$empty_size")) | < empty installer |"
  echo "| Uninstall.exe size, i686 (bytes) | $uninstall_size | | | < Setup.exe |"
  echo "| Setup.exe imports | $(imports build/i686/Setup.exe) | | | system DLLs only |"
  echo "| Uninstall.exe imports | $(imports build/i686/Uninstall.exe) | | | system DLLs only |"
  echo "| Setup.exe: start to first page painted, median of ${runs%.*} (ms; range) | $ours ($(spread Setup.exe)) | $theirs ($(spread reference-x86-unicode.exe)) | $(ratio "$ours" "$theirs") | ≤ 0.85 |"
  echo "| Uninstall.exe: start to its window painted, median of ${runs%.*} (ms; range) | $uninstall ($(spread Uninstall.exe)) | $theirs | $(ratio "$uninstall" "$theirs") | ≤ 0.85 |"
  echo "| floor: the welcome page's manifest, common controls, window and 12 controls (ms; range) | $floor ($(spread floor.exe)) | | | |"
  echo "| Setup.exe / floor | $(ratio "$ours" "$floor") | | | ≤ 1.05 |"
  echo "| Uninstall.exe / floor | $(ratio "$uninstall" "$floor") | | | ≤ 1.05 |"
  echo "| peak working set at the first page (MB) | $(figure "first_page_peak_mb Setup.exe") | $(figure "first_page_peak_mb reference-x86-unicode.exe") | $(ratio "$(figure "first_page_peak_mb Setup.exe")" "$(figure "first_page_peak_mb reference-x86-unicode.exe")") | ≤ 1 |"
  echo "| peak working set of Setup.exe over an installation (MB) | $(figure install_peak_mb) | | | |"
  echo "| installation run / its 2,740 ms of pauses | $(figure install_ms) ms | | $(figure install_ratio) | ≤ 1.03 |"
  echo "| removal run / its 2,000 ms of pauses | $(figure removal_ms) ms | | $(figure removal_ratio) | ≤ 1.03 |"
  echo "| 200 MB product: run beyond its pauses / plain copy | $(figure large_install_beyond_pauses_ms) ms / $(figure large_copy_ms) ms | | $(figure large_ratio) | |"
} | tee "$out/bench.md"

# The chart: start-up medians and peak working sets side by side.
cat >"$work/chart.dat" <<DATA
"Setup.exe" $ours $(figure "first_page_peak_mb Setup.exe")
"Uninstall.exe" $uninstall $(figure "first_page_peak_mb Uninstall.exe")
"reference" $theirs $(figure "first_page_peak_mb reference-x86-unicode.exe")
"floor" $floor $(figure "first_page_peak_mb floor.exe")
DATA
gnuplot <<PLOT
set terminal png size 640,360
set output "$out/bench.png"
set style data histograms
set style fill solid 0.8
set boxwidth 0.8
set ylabel "ms / MB"
set title "Start to first page painted (median, ms) and peak working set (MB)"
plot "$work/chart.dat" using 2:xtic(1) title "start-up (ms)", "" using 3 title "peak working set (MB)"
PLOT
echo "bench: $out/bench.md, $out/bench.png"
