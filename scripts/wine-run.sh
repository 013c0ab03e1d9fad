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
exec wine "$@"
