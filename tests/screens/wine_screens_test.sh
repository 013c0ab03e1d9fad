#!/usr/bin/env bash
# The window fit check of screen_test.sh under Wine: for each screen an X
# server of its size with the same work area (_NET_WORKAREA, which Wine reads
# as the monitor's work area), and the prefix's LogPixels set to the scale
# (96 at 100 %, 120 at 125 %, 144 at 150 %, 168 at 175 %, 192 at 200 %), the
# way Windows sets its scaling. Qt takes the frame from Windows' own window
# metrics here, as Wine computes them: for these windows a title bar that
# grows with LogPixels (23 pixels at 96, 42 at 192) and no borders. What
# Windows' own themes draw (borders, the invisible resize margins) Wine
# cannot show, nor a window moving between monitors of different scales:
# Wine gives every monitor the one LogPixels.
#   wine_screens_test.sh SCRIPTS_DIR CHECK_PROGRAM SCREEN=WORK_AREA=fits|fault...
SCRIPTS="$1"
program="$2"
shift 2
source "$(dirname "$0")/../wine/wine_support.sh"
source "$SCRIPTS/xvfb.sh"
trap 'stop_xvfb; end_test' EXIT

make_prefix
for entry in "$@"; do
  IFS== read -r screen work_area expected <<<"$entry"
  size="${screen%@*}"
  dpi=$((${screen#*@} * 96 / 100))
  start_xvfb "$size"
  xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "0, 0, ${work_area%x*}, ${work_area#*x}"
  # A Wine process reads LogPixels once, when it starts: Wine's server and
  # desktop start afresh on each screen's X server after the change.
  wine_run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  wait_for_wine
  rm -f "$work/report.txt"
  status=0
  (cd "$work" && wine_run "$program" "$screen" report.txt >/dev/null 2>&1) || status=$?
  wineserver -k 2>/dev/null || true
  wait_for_wine
  stop_xvfb
  tr -d '\r' <"$work/report.txt" 2>/dev/null || true
  if ! grep -q "work area ${work_area} at 0,0" "$work/report.txt" 2>/dev/null; then
    fail "Wine did not give the work area ${work_area} of ${screen} (LogPixels ${dpi})"
    continue
  fi
  case "$status:$expected" in
    0:fits) pass "every window fits ${screen} (LogPixels ${dpi})" ;;
    1:fault) pass "known fault: the windows do not fit ${screen} (LogPixels ${dpi}) yet; the check finds it" ;;
    0:fault) fail "every window now fits ${screen} (LogPixels ${dpi}): take it out of the known faults in tests/screens/CMakeLists.txt" ;;
    1:fits) fail "the windows do not fit ${screen} (LogPixels ${dpi})" ;;
    *) fail "the check did not run through on ${screen} (LogPixels ${dpi}, exit status ${status})" ;;
  esac
done
finish
