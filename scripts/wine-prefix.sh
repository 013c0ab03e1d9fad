#!/usr/bin/env bash
# Makes the Wine prefix WINEPREFIX ready (the first start of Wine in a new
# prefix takes a while and must not race between tests), without the offers
# to install Wine's .NET and browser add-ons.
#   WINEPREFIX=/path scripts/wine-prefix.sh
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the Wine prefix to make}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
[ -f "$WINEPREFIX/system.reg" ] || { echo "Wine could not make the prefix $WINEPREFIX" >&2; exit 1; }
