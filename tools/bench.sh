#!/bin/bash
# The benchmark: bootstrap, the release builds, a reference installer made by Debian's
# makensis for the same payload, then one run of measurements under Wine and Xvfb.
# Prints a Markdown table, also saved with a bar chart in out/bench/.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C
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
# The machine's load around the measurements: the times below are as good as it is low.
load() { cut -d' ' -f1 /proc/loadavg; }
load_before=$(load)
measure bench_startup "$(winpath "$root/$package/Setup.exe")" "$(winpath "$root/$package/Uninstall.exe")" \
  "$(winpath "$root/$work/reference-x86-unicode.exe")" \
  "$(winpath "$root/build/i686/bench/floor.exe")"
measure bench_runs
measure bench_large
load_after=$(load)

figure() { grep -F "figure|$1|" "$work/figures.txt" | tail -1 | cut -d'|' -f3 | tr -d '\r' || true; }
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
# A run figure: its median over the rounds and its range.
run() { printf "%.0f (%.0f–%.0f)" "$(figure "$1")" "$(figure "$1_min")" "$(figure "$1_max")"; }
# met VALUE LIMIT: whether VALUE is at most LIMIT.
met() { awk -v v="$1" -v l="$2" 'BEGIN { print (v != "" && v != "n/a" && v + 0 <= l + 0) ? "met" : "MISSED" }'; }
peak() { figure "first_page_peak_mb $1"; }
# The time of a timed run beyond its pauses: the pauses' overshoot, the platform's work
# and the rest (the windows' operations, the platform's questions, the programs' own code).
split() {  # split install|removal NOMINAL_PAUSES WORK_FIGURES...
  local run=$1 nominal=$2
  shift 2
  local total paused busy=0
  total=$(figure "timed_${run}_ms")
  paused=$(figure "timed_${run}_paused_ms")
  for f in "$@"; do busy=$(awk -v a="$busy" -v b="$(figure "timed_${run}_${f}_ms")" 'BEGIN { print a + b }'); done
  printf "%.0f ms beyond %s ms of pauses: pauses' overshoot %.1f, platform's work %.0f (" \
    "$(awk -v t="$total" -v n="$nominal" 'BEGIN { print t - n }')" "$nominal" \
    "$(awk -v p="$paused" -v n="$nominal" 'BEGIN { print p - n }')" "$busy"
  local first=1
  for f in "$@"; do
    [ $first = 1 ] || printf ", "
    first=0
    printf "%s %.0f" "$f" "$(figure "timed_${run}_${f}_ms")"
  done
  printf "), rest %s (windows %.0f of which the bar's steps %.0f, questions %.0f, own code %.0f)" \
    "$(run "timed_${run}_rest_ms")" "$(figure "timed_${run}_windows_ms")" \
    "$(figure "timed_${run}_bar_ms")" "$(figure "timed_${run}_queries_ms")" \
    "$(figure "timed_${run}_own_ms")"
}

{
  echo "| figure | ours | reference | ratio | target | |"
  echo "|---|---|---|---|---|---|"
  echo "| Setup.exe size, i686 (bytes) | $setup_size | empty makensis installer: $empty_size (reference: $reference_size) | $(ratio "$setup_size" "$empty_size") | ≤ $empty_size | $(met "$setup_size" "$empty_size") |"
  echo "| Uninstall.exe size, i686 (bytes) | $uninstall_size | Setup.exe: $setup_size | $(ratio "$uninstall_size" "$setup_size") | ≤ 0.75 | $(met "$(ratio "$uninstall_size" "$setup_size")" 0.75) |"
  echo "| Setup.exe imports | $(imports build/i686/Setup.exe) | | | system DLLs only | |"
  echo "| Uninstall.exe imports | $(imports build/i686/Uninstall.exe) | | | system DLLs only | |"
  echo "| Setup.exe: start to first page painted, median of ${runs%.*} (ms; range) | $ours ($(spread Setup.exe)) | $theirs ($(spread reference-x86-unicode.exe)) | $(ratio "$ours" "$theirs") | ≤ 0.80 | $(met "$(ratio "$ours" "$theirs")" 0.80) |"
  echo "| Uninstall.exe: start to its window painted, median of ${runs%.*} (ms; range) | $uninstall ($(spread Uninstall.exe)) | $theirs | $(ratio "$uninstall" "$theirs") | ≤ 0.80 | $(met "$(ratio "$uninstall" "$theirs")" 0.80) |"
  echo "| floor: the welcome page's controls, fonts, window icon and band picture, Setup's manifest, i686 (ms; range) | $floor ($(spread floor.exe)) | | | | |"
  echo "| Setup.exe / floor | | | $(ratio "$ours" "$floor") | ≤ 1.03 | $(met "$(ratio "$ours" "$floor")" 1.03) |"
  echo "| Uninstall.exe / floor | | | $(ratio "$uninstall" "$floor") | ≤ 1.03 | $(met "$(ratio "$uninstall" "$floor")" 1.03) |"
  echo "| peak working set at the first page (MB) | Setup $(peak Setup.exe), Uninstall $(peak Uninstall.exe) | $(peak reference-x86-unicode.exe) | $(ratio "$(peak Setup.exe)" "$(peak reference-x86-unicode.exe)") | < 1 | $(awk -v r="$(ratio "$(peak Setup.exe)" "$(peak reference-x86-unicode.exe)")" 'BEGIN { print r + 0 < 1 ? "met" : "MISSED" }') |"
  echo "| peak working set of Setup.exe over an installation (MB) | $(figure install_peak_mb) | | | | |"
  echo "| installation run, median of 5 (ms; range) / its 2,740 ms of pauses | $(run install_ms) | | $(figure install_ratio) | | |"
  echo "| installation, timed twin: where the time goes | $(split install 2740 starts copies shortcuts) | | | rest ≤ 50 ms | $(met "$(figure timed_install_rest_ms_max)" 50) |"
  echo "| removal run, median of 5 (ms; range) / its 2,000 ms of pauses | $(run removal_ms) | | $(figure removal_ratio) | | |"
  echo "| removal, timed twin: where the time goes | $(split removal 2000 deletions) | | | rest ≤ 50 ms | $(met "$(figure timed_removal_rest_ms_max)" 50) |"
  echo "| the machine's load average over a minute, before and after the measurements ($(nproc) cores) | $load_before, $load_after | | | | |"
  echo "| 200 MB product: run beyond its pauses / plain copy | $(figure large_install_beyond_pauses_ms) ms / $(figure large_copy_ms) ms | | $(figure large_ratio) | | |"
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
