#!/usr/bin/env bash
# Start-up benchmark: the configurator against a bare Qt Widgets window of
# the same size, both release builds, run in turns on one private Xvfb.
# Each run is timed from starting the program to its first window being
# mapped, then left 500 ms to draw and ended; its peak RSS is taken when it
# ends. The CPU time it used (all threads) until the window was mapped is
# shown beside: on a busy machine it varies less than the elapsed time.
# Prints every pair, then the medians and their ratios to the bare window,
# and the median of the ratios within each pair.
# A benchmark, not a test: nothing is asserted.
#
#   scripts/bench-startup.sh [--pairs N] [--configurator PROGRAM] [--empty-bare]
#
# --pairs N                 pairs to run (default 15; one warm-up pair more
#                           is run first and not counted)
# --configurator PROGRAM    time this configurator binary instead of the one
#                           built here (e.g. a copy of an older build)
# --empty-bare              compare with a window holding nothing at all; by
#                           default the bare window shows one line of text,
#                           so that both programs load the font database
# BENCH_BUILD_DIR           release build folder (default build-release/)
#
# The pairs alternate which program goes first, so that a change of the
# machine's load during the run falls on both alike. On a busy machine run it
# as `nice -n -5 scripts/bench-startup.sh`.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BENCH_BUILD_DIR:-$root/build-release}"
pairs=15
configurator=""
bare_option=""
while [ $# -gt 0 ]; do
  case "$1" in
    --pairs) pairs="$2"; shift 2 ;;
    --configurator) configurator="$2"; shift 2 ;;
    --empty-bare) bare_option="--empty"; shift ;;
    *) echo "usage: $0 [--pairs N] [--configurator PROGRAM] [--empty-bare]" >&2; exit 2 ;;
  esac
done

"$root/scripts/ensure-deps.sh"
# The watcher talks to the X server through libxcb.
if ! pkg-config --exists xcb; then
  echo "Installing missing packages: libxcb1-dev"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends libxcb1-dev
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target gsm-notifier-config gnc-bare-window gnc-first-map >/dev/null
configurator="${configurator:-$build/app/gsm-notifier-config}"
bare="$build/tools/startup_bench/gnc-bare-window"
watch="$build/tools/startup_bench/gnc-first-map"

work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A display number far above the usual ones, so that an X server another
# program starts on :0, :1 ... while the benchmark runs does not take its place.
display=""
for n in $(shuf -i 100-999 -n 50); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
    display=":$n"
    break
  fi
done
[ -n "$display" ] || { echo "no free X display number found" >&2; exit 1; }
# -noreset: the server would otherwise reset each time its last client
# leaves, between two runs, and refuse the next run meanwhile.
Xvfb "$display" -noreset -nolisten tcp -screen 0 1280x1024x24 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X${display#:}" ] && break
  sleep 0.05
done
[ -e "/tmp/.X11-unix/X${display#:}" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY="$display"
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# One run: "<ms to first map> <peak RSS KiB> <CPU ms>"; the programs' own messages
# are shown only when a run fails.
run() {
  if ! "$watch" --linger 500 "$@" 2>>"$work/programs.log"; then
    cat "$work/programs.log" >&2
    kill -0 "$xvfb_pid" 2>/dev/null || echo "Xvfb ended" >&2
    echo "DISPLAY=$DISPLAY" >&2; cat "$work/xvfb.log" >&2; ls -l /tmp/.X11-unix >&2
    exit 1
  fi
}

run "$bare" ${bare_option:+"$bare_option"} >/dev/null
run "$configurator" >/dev/null

echo "configurator: $configurator"
echo "bare window: $bare $bare_option"
echo "pairs: $pairs, nice $(nice), load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%4s  %9s  %9s  %9s  %9s  %9s  %9s\n' pair "bare ms" "config ms" "bare MiB" "config MiB" \
  "bare CPU" "config CPU"
: >"$work/results"
for pair in $(seq "$pairs"); do
  if [ $((pair % 2)) -eq 1 ]; then
    bare_run="$(run "$bare" ${bare_option:+"$bare_option"})"
    config_run="$(run "$configurator")"
  else
    config_run="$(run "$configurator")"
    bare_run="$(run "$bare" ${bare_option:+"$bare_option"})"
  fi
  read -r bare_ms bare_kib bare_cpu <<<"$bare_run"
  read -r config_ms config_kib config_cpu <<<"$config_run"
  line="$bare_ms $config_ms $bare_kib $config_kib $bare_cpu $config_cpu"
  echo "$line" >>"$work/results"
  awk -v p="$pair" '{ printf "%4d  %9.1f  %9.1f  %9.1f  %9.1f  %9.1f  %9.1f\n",
                      p, $1, $2, $3 / 1024, $4 / 1024, $5, $6 }' <<<"$line"
done
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
column() { awk -v c="$1" '{ print $c }' "$work/results" | median; }
bare_ms="$(column 1)"
config_ms="$(column 2)"
bare_kib="$(column 3)"
config_kib="$(column 4)"
bare_cpu="$(column 5)"
config_cpu="$(column 6)"
# The ratio within each pair, whose two runs are next to each other in time:
# its median is steadier than the ratio of the medians when the machine's
# speed drifts during the run (as a virtual machine's does).
pair_ratio() { awk -v b="$1" -v c="$2" '{ print $c / $b }' "$work/results" | median; }
time_ratio="$(pair_ratio 1 2)"
rss_ratio="$(pair_ratio 3 4)"
cpu_ratio="$(pair_ratio 5 6)"
awk -v bm="$bare_ms" -v cm="$config_ms" -v bk="$bare_kib" -v ck="$config_kib" \
    -v bc="$bare_cpu" -v cc="$config_cpu" '
  function show(what, unit, bare, config) {
    printf "median %-35s bare %6.1f %-3s  configurator %6.1f %-3s  ratio %.2f\n", what, bare, unit, config, unit, config / bare
  }
  BEGIN {
    show("time to first mapped window:", "ms", bm, cm)
    show("peak RSS:", "MiB", bk / 1024, ck / 1024)
    show("CPU time until mapped:", "ms", bc, cc)
  }'
printf 'median ratio within a pair:  time %.2f  peak RSS %.2f  CPU time %.2f\n' \
  "$time_ratio" "$rss_ratio" "$cpu_ratio"
