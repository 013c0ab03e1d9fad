# Shared by the Wine tests (sourced): a Wine prefix of the test's own in a
# temporary folder, removed with everything the test started when it ends.
#   SCRIPTS: the project's scripts/ folder
set -euo pipefail

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
pass() { echo "PASS: $*"; }
check() { # description, command...
  local what="$1"
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

work="$(mktemp -d)"
export WINEPREFIX="$work/prefix"
# Wine leaves the folder of its server's socket in TMPDIR: keep it in ours.
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"
end_test() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$work"
}
trap end_test EXIT

make_prefix() { "$SCRIPTS/wine-prefix.sh"; }
wine_run() { "$SCRIPTS/wine-run.sh" "$@"; }
# Windows path of a Linux path (Wine maps / to Z:).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# The prefix's folder for a Windows user folder, e.g. AppData/Local.
user_folder() { printf '%s/drive_c/users/%s/%s' "$WINEPREFIX" "$(id -un)" "$1"; }
# Makes a Windows port name of the prefix reach a Linux device: Wine's mount
# manager rewrites dosdevices/comN from the machine's /dev/ttyS* at every
# start, unless the prefix's Ports key names the device.
link_port() { # port name (COM1), Linux device path
  wine_run reg add 'HKLM\Software\Wine\Ports' /v "$1" /d "$2" /f >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
# Waits until every Wine process of the prefix has ended.
wait_for_wine() { wineserver -w 2>/dev/null || true; }

finish() {
  if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
}
