#!/usr/bin/env bash
# The Windows template tool's field work under Wine, against the Linux
# simulated device on a pseudo-terminal that the Wine prefix maps as COM1:
# read, program with verification, a page stored wrongly, no
# acknowledgement, no offer, a missing port, --version, --help
# and --list-ports with the ports file and the environment override.
#   template_field_work_wine.sh SIM EXE
# SIM: gsm-notifier-sim of the Linux build; EXE: gsm-notifier-template.exe.
# Makes its own Wine prefix in a temporary folder, and stops every process
# it started and removes the folder however it ends.
set -u
sim="${1:?usage: $0 SIM EXE}"
exe="${2:?usage: $0 SIM EXE}"
here="$(cd "$(dirname "$0")" && pwd)"
demo="$here/../../resources/demo/demo.sbn"

work="$(mktemp -d)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
# Wine leaves the folder of its server's socket in TMPDIR: keep it in ours.
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"
unset DISPLAY WAYLAND_DISPLAY
sim_pid=""
silent_pid=""
failures=0

stop_pid() {
  [ -n "$1" ] || return 0
  kill -TERM "$1" 2>/dev/null
  for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}

cleanup() {
  stop_pid "$sim_pid"
  stop_pid "$silent_pid"
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null
  [ -d "$WINEPREFIX" ] && wineserver -w 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

check() { # check DESCRIPTION COMMAND...
  local what="$1"
  shift
  if "$@"; then echo "ok: $what"; else fail "$what"; fi
}

# Windows path of a Unix path: Wine maps / to Z:.
win() { printf 'Z:%s' "${1//\//\\}"; }

# tool NAME ARGS...: runs the tool; exit code in $NAME.rc, output in
# $NAME.out and $NAME.err.
tool() {
  local name="$1"
  shift
  timeout 180 wine "$exe" "$@" >"$work/$name.out" 2>"$work/$name.err"
  echo $? >"$work/$name.rc"
}
rc_of() { cat "$work/$1.rc"; }
has() { grep -qF -- "$2" "$work/$1"; }

# start_sim ARGS...: the simulated device, its terminal linked as COM1 (and
# COM12).
start_sim() {
  stop_pid "$sim_pid"
  rm -f "$work/com1" "$work/device.bin"
  "$sim" --link "$work/com1" --save "$work/device.bin" --log "$@" \
    >"$work/sim.out" 2>"$work/sim.log" &
  sim_pid=$!
  for _ in $(seq 50); do [ -L "$work/com1" ] && break; sleep 0.1; done
  [ -L "$work/com1" ] || { fail "simulator did not start: $*"; return 1; }
}

same_bytes() { # same_bytes FILE FILE2 COUNT
  cmp -s -n "$3" "$1" "$2"
}

erased_tail() { # the template's second half stays 0xFF
  [ "$(tail -c 2048 "$1" | tr -d '\377' | wc -c)" = 0 ]
}

# Wine's mount manager rewrites dosdevices/comN at every start from the
# machine's /dev/ttyS*, unless the prefix's Ports key names the device:
# COM1 and COM12 both reach the simulator's link, COM3 a silent device.
wineboot -i >/dev/null 2>&1
for port in COM1 COM12; do
  wine reg add 'HKLM\Software\Wine\Ports' /v "$port" /d "$work/com1" /f >/dev/null 2>&1
done
wine reg add 'HKLM\Software\Wine\Ports' /v COM3 /d "$work/com3" /f >/dev/null 2>&1
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
roaming="$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')"
roaming_unix="$(winepath -u "$roaming" 2>/dev/null)"
mkdir -p "$roaming_unix/gsm-notifier-config"
printf 'COM2=COM12\r\n' >"$roaming_unix/gsm-notifier-config/ports.conf"

tool version --version
check "--version" test "$(rc_of version)" = 0
check "--version names the tool" grep -q '^gsm-notifier-template ' "$work/version.out"
tool help --help
check "--help" test "$(rc_of help)" = 0
check "--help names --list-ports" has help.out "--list-ports"

start_sim
GSM_NOTIFIER_COM3=COM199 tool list --list-ports
check "--list-ports" test "$(rc_of list)" = 0
check "--list-ports: COM1 is present" has list.out "  COM1  COM1  [default]  present"
check "--list-ports: the ports file" has list.out "  COM2  COM12  [configuration file]  present"
check "--list-ports: the environment" has list.out "  COM3  COM199  [environment]  missing"
check "--list-ports: the line for COM1" has list.out "  COM1=COM12"

tool missing read --port COM200 "$(win "$work/missing.sbn")"
check "a missing port: exit 3" test "$(rc_of missing)" = 3
check "a missing port says so" has missing.err "COM200: no such port"

# The device's memory is the demo template with a gap byte changed.
head -c 2048 "$demo" >"$work/memory.bin"
printf '\132' | dd of="$work/memory.bin" bs=1 seek=400 conv=notrunc status=none
start_sim --memory "$work/memory.bin"
tool read read --port COM1 "$(win "$work/read.sbn")"
check "read: exit 0" test "$(rc_of read)" = 0
check "read: the file holds the device's memory" same_bytes "$work/read.sbn" "$work/memory.bin" 2048
check "read: the second half is erased" erased_tail "$work/read.sbn"
check "read: 4096 bytes" test "$(stat -c %s "$work/read.sbn" 2>/dev/null)" = 4096
# Through the ports file: COM2 reaches COM12, the same terminal.
tool mapped read --port COM2 "$(win "$work/mapped.sbn")"
check "read through the ports file: exit 0" test "$(rc_of mapped)" = 0
check "read through the ports file: same bytes" same_bytes "$work/mapped.sbn" "$work/memory.bin" 2048

start_sim
tool program program --port COM1 "$(win "$demo")"
check "program with verification: exit 0" test "$(rc_of program)" = 0
check "program: the device holds the template" same_bytes "$work/device.bin" "$demo" 2048
check "program: verified" has program.err "Weryfikacja zakończona"

# --port auto: every port that opens, the silent one on COM3 among them.
"$sim" --link "$work/com3" --silent-after 0 --log >/dev/null 2>"$work/com3.log" &
silent_pid=$!
start_sim
tool auto_read read --port auto "$(win "$work/auto.sbn")"
check "--port auto read: exit 0" test "$(rc_of auto_read)" = 0
check "--port auto read names the port" has auto_read.err "Urządzenie zgłosiło się na porcie COM"
tool auto_program program --port auto "$(win "$demo")"
check "--port auto program: verified" has auto_program.err "Weryfikacja zakończona"
check "--port auto: the device holds the template" same_bytes "$work/device.bin" "$demo" 2048
check "--port auto: the silent port was opened" has com3.log "line opened"
check "--port auto: the silent port received not one byte" test "$(grep -c ' rx ' "$work/com3.log")" = 0

# The adapter pulled out in the middle of a read: the read's time-out.
start_sim --memory "$work/memory.bin" --hang-up-after 3
tool pulled read --port COM1 "$(win "$work/pulled.sbn")"
check "pulled out mid-read: exit 4" test "$(rc_of pulled)" = 4

start_sim --corrupt-store 0
tool corrupt program --port COM1 "$(win "$demo")"
check "a page stored wrongly: exit 7" test "$(rc_of corrupt)" = 7

start_sim --never-ack
tool never_ack program --port COM1 "$(win "$demo")"
check "no acknowledgement: exit 5" test "$(rc_of never_ack)" = 5

# A device that never offers. (Wine does not refuse a second open of a COM
# port, so a port held by another program cannot be shown here.)
start_sim --silent-after 0
tool silent read --port COM1 "$(win "$work/silent.sbn")"
check "no offer: exit 3" test "$(rc_of silent)" = 3
check "no offer: no file" test ! -e "$work/silent.sbn"

if [ "$failures" -gt 0 ]; then
  for f in "$work"/*.err; do echo "--- $(basename "$f")"; cat "$f"; done >&2
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all checks passed"
