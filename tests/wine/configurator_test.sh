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

run_slots() { # description, slots...
  local what="$1"
  shift
  if GNC_WINE_WORK="$(windows_path "$files")" GNC_WINE_MEMORY="$(windows_path "$work/memory.bin")" \
    GNC_TEST_LOG="$work/report.txt" wine_run "$program" "$@" >"$work/program.out" 2>&1; then
    pass "$what"
  else
    fail "$what:"
    tr -d "\r" <"$work/program.out" | tail -40 >&2
  fi
  tr -d '\r' <"$work/program.out" | grep -E '^(PASS|FAIL|SKIP)' || true
}
run_slots "the configurator's windows under Wine (connect, read, program, templates)" \
  demo_device_reads_into_the_windows_and_programs_back \
  template_with_polish_letters_saves_and_loads device_names_are_refused_as_template_files
check "the template lies under its Polish name on disk" \
  test -s "$files/Szablony żółć/biuro Łódź ąę.sbn"
leftovers="$(find "$files" -maxdepth 1 -type f | wc -l)"
check "no file was made under a device's name ($leftovers)" test "$leftovers" -eq 0

# The port box: COM1 reaches nothing of ours now, COM3 a device that never
# speaks (and logs every byte it receives), COM14 the demo device.
stop_simulator
start_device() { # link name, simulator options...
  local link="$1"
  shift
  "$simulator" --log --link "$work/$link" "$@" >/dev/null 2>"$work/$link.log" &
  for _ in $(seq 50); do
    [ -e "$work/$link" ] && break
    sleep 0.1
  done
  echo $!
}
silent_pid="$(start_device com3 --silent-after 0)"
sim_pid="$(start_device com14 --offer-interval 200 --memory "$demo" --save "$work/memory.bin")"
trap 'kill "$silent_pid" 2>/dev/null; wait "$silent_pid" 2>/dev/null; stop_simulator; end_test' EXIT
wine_run reg delete 'HKLM\Software\Wine\Ports' /v COM1 /f >/dev/null 2>&1 || true
link_port COM3 "$work/com3"
link_port COM14 "$work/com14"
run_slots "COM14 listed, chosen, typed and found by itself" \
  ports_after_the_eight_are_listed device_on_com14
check "the silent port was opened by the search" grep -q "line opened" "$work/com3.log"
check "the silent port received not one byte" bash -c "! grep -q ' rx ' '$work/com3.log'"

stop_simulator
sim_pid="$(start_device com14 --offer-interval 200 --memory "$demo" --hang-up-after 3)"
run_slots "a device pulled out mid-read" device_pulled_out_mid_read
finish
