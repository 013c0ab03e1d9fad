#!/usr/bin/env bash
# Every window of the configurator on one laptop screen: an X server of the
# screen's size in device pixels, Qt's scale factor set as the desktop sets
# it, and a work area that leaves out the taskbar (the root window's
# _NET_WORKAREA, which Qt reads as the screen's available geometry). No
# window manager runs, so Qt places every window exactly where the program
# asks and window_fit_check adds the frame the layout counts.
#   screen_test.sh SCRIPTS_DIR CHECK_PROGRAM WIDTHxHEIGHT@PERCENT WORK_WIDTHxWORK_HEIGHT fits|fault
# The last argument is the verdict expected: "fault" for a screen on which
# the windows are known not to fit yet (the check must still find it).
set -euo pipefail
scripts="$1"
program="$2"
screen="$3"
work_area="$4"
expected="$5"
size="${screen%@*}"
percent="${screen#*@}"

source "$scripts/xvfb.sh"
work="$(mktemp -d)"
cleanup() {
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb "$size"
xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "0, 0, ${work_area%x*}, ${work_area#*x}"

# Only the scale factor below decides the scale.
unset QT_AUTO_SCREEN_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_ENABLE_HIGHDPI_SCALING QT_FONT_DPI
# Qt's runtime folder in ours, so that nothing is left behind. No session
# bus belongs to this X server: without an address, libdbus looks for one
# through the X server and keeps what it allocated on the way (a leak report
# under ./test --sanitize).
mkdir -m 700 "$work/runtime"
status=0
XDG_RUNTIME_DIR="$work/runtime" DBUS_SESSION_BUS_ADDRESS=disabled: QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$(awk "BEGIN { print $percent / 100 }")" \
  "$program" "$screen" "$work/report.txt" || status=$?
cat "$work/report.txt" 2>/dev/null || true

grep -q "work area ${work_area} at 0,0" "$work/report.txt" || {
  echo "FAIL: Qt did not see the work area ${work_area} of ${screen}: the check would be too lenient"
  exit 1
}
case "$status:$expected" in
  0:fits) echo "PASS: every window fits ${screen}" ;;
  1:fault) echo "PASS (known fault): the windows do not fit ${screen} yet; the check finds it" ;;
  0:fault)
    echo "FAIL: every window now fits ${screen}: take it out of the known faults in tests/screens/CMakeLists.txt"
    exit 1
    ;;
  1:fits)
    echo "FAIL: the windows do not fit ${screen}"
    exit 1
    ;;
  *)
    echo "FAIL: the check did not run through on ${screen} (exit status ${status})"
    exit 1
    ;;
esac
