#!/usr/bin/env bash
# Runs a Windows program under Wine, as the Windows tests do: in the Wine
# prefix WINEPREFIX (scripts/wine-prefix.sh makes one), without Wine's debug
# chatter, and with the program's own exit code.
#   scripts/wine-run.sh PROGRAM.exe [ARGS...]
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the Wine prefix to run in}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"
# Qt Test's report on standard output does not reach a Linux pipe from a
# Windows program under Wine; where GNC_TEST_LOG names a file, the test writes
# its report there and this script prints it.
# Qt Test reads its options from the narrow command line, in the ANSI code
# page, which would spoil a folder's name with letters beyond it: the report
# is named relative to the folder the test runs in.
if [ -n "${GNC_TEST_LOG:-}" ]; then
  rm -f "$GNC_TEST_LOG"
  status=0
  (cd "$(dirname "$GNC_TEST_LOG")" && wine "$@" -o "$(basename "$GNC_TEST_LOG"),txt") || status=$?
  [ -f "$GNC_TEST_LOG" ] && tr -d '\r' <"$GNC_TEST_LOG"
  exit "$status"
fi
exec wine "$@"
