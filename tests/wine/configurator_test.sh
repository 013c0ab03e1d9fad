#!/usr/bin/env bash
# The configurator's windows under Wine against the simulated device: starts
# the demo device on a pseudo-terminal, links it as COM1 of a fresh Wine
# prefix (its Ports key), runs the Windows test program (configurator_under_wine.exe), then
# checks what reached the Linux side: the template's Polish name, and that
# no file was made under a device's name.
#   configurator_test.sh SCRIPTS_DIR SIMULATOR TEST_PROGRAM DEMO_TEMPLATE
SCRIPTS="$1"
simulator="$2"
program="$3"
demo="$4"
source "$(dirname "$0")/wine_support.sh"

make_prefix
files="$work/files"
mkdir -p "$files"
"$simulator" --offer-interval 200 --memory "$demo" --save "$work/memory.bin" \
  --link "$work/com1" >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
stop_simulator() {
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
}
trap 'stop_simulator; end_test' EXIT
for _ in $(seq 50); do
  [ -e "$work/com1" ] && break
  sleep 0.1
done
link_port COM1 "$work/com1"

if GNC_WINE_WORK="$(windows_path "$files")" GNC_WINE_MEMORY="$(windows_path "$work/memory.bin")" \
  GNC_TEST_LOG="$work/report.txt" wine_run "$program" >"$work/program.out" 2>&1; then
  pass "the configurator's windows under Wine (connect, read, program, templates)"
else
  fail "the configurator's windows under Wine:"
  tr -d "\r" <"$work/program.out" | tail -40 >&2
fi
tr -d '\r' <"$work/program.out" | grep -E '^(PASS|FAIL|SKIP)' || true
check "the template lies under its Polish name on disk" \
  test -s "$files/Szablony żółć/biuro Łódź ąę.sbn"
# The report that the Windows configurator wrote through its save dialog reads
# back as the Linux template tool's report of the same template, apart from
# the time it was made; its fonts are embedded.
report="$files/Szablony żółć/raport biuro.pdf"
check "the Windows configurator's settings report exists" test -s "$report"
"$(dirname "$simulator")/../template/gsm-notifier-template" report \
  "$files/Szablony żółć/biuro Łódź ąę.sbn" "$work/linux-report.pdf" 2>/dev/null || true
report_text() { pdftotext -raw -enc UTF-8 "$1" - 2>/dev/null | grep -v '^Data i godzina' | tr -d ' \n\f'; }
windows_text="$(report_text "$report")"
check "the report reads back as the Linux tool's report of the same template" \
  test -n "$windows_text" -a "$windows_text" = "$(report_text "$work/linux-report.pdf")"
not_embedded="$(pdffonts "$report" 2>/dev/null | awk 'NR > 2 && $(NF - 4) != "yes"' | wc -l)"
check "the report's fonts are embedded ($not_embedded not)" test "$not_embedded" -eq 0
leftovers="$(find "$files" -maxdepth 1 -type f | wc -l)"
check "no file was made under a device's name ($leftovers)" test "$leftovers" -eq 0

# The port box: COM3 a silent device (logging what it gets), COM14 the demo.
stop_simulator
"$simulator" --log --silent-after 0 --link "$work/com3" >/dev/null 2>"$work/com3.log" &
silent_pid=$!
"$simulator" --offer-interval 200 --memory "$demo" --save "$work/memory.bin" \
  --link "$work/com14" >/dev/null 2>&1 &
sim_pid=$!
trap 'kill "$silent_pid" 2>/dev/null; wait "$silent_pid" 2>/dev/null; stop_simulator; end_test' EXIT
wine_run reg delete 'HKLM\Software\Wine\Ports' /v COM1 /f >/dev/null 2>&1 || true
link_port COM3 "$work/com3"
link_port COM14 "$work/com14"
if GNC_WINE_PORTS=1 GNC_WINE_MEMORY="$(windows_path "$work/memory.bin")" GNC_TEST_LOG="$work/ports.txt" \
  wine_run "$program" ports_after_the_eight_are_listed_with_com14 device_on_com14 >"$work/ports.out" 2>&1; then
  pass "COM14 listed, chosen, typed and found by itself"
else
  fail "COM14 listed, chosen, typed and found by itself:"
  tr -d "\r" <"$work/ports.out" | tail -40 >&2
fi
tr -d '\r' <"$work/ports.out" | grep -E '^(PASS|FAIL|SKIP)' || true
check "the silent port was opened by the search" grep -q "line opened" "$work/com3.log"
check "the silent port received not one byte" test "$(grep -c ' rx ' "$work/com3.log")" = 0
finish
