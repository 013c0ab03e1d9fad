#!/usr/bin/env bash
# Runs the tests that change user (CTest label "changes-user") from a fresh
# clone inside a folder that only its owner may enter, as a clone in /root or
# in a folder made by mktemp -d lies: the user they change to must never need
# to reach into the clone. As root, the tests must really change user rather
# than skip, and they run once more as a plain user, made for this check when
# there is none; as a plain user, they run as that user.
#   scripts/user-change-check.sh
# The clone is of the committed tree (HEAD) of this clone.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
plain_user=gnc-plain-check
made_user=0
folder="$(mktemp -d)" # mode 0700

cleanup() {
  rm -rf "$folder"
  if [ "$made_user" = 1 ]; then
    userdel "$plain_user" 2>/dev/null || true
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Whether this root may run a program as `user`, as the tests' child does.
can_become() {
  setpriv --reuid="$1" --regid="$(id -g "$1")" --clear-groups true 2>/dev/null
}

# run_tests WHO SKIPS_ALLOWED [COMMAND PREFIX...]: runs the labelled tests in
# the build folder; fails when one fails, or when one skips although
# SKIPS_ALLOWED is 0.
run_tests() {
  local who="$1" skips_allowed="$2"
  shift 2
  local log="$folder/ctest-$who.log"
  if ! (cd "$build" && "$@" env QT_QPA_PLATFORM=offscreen ctest -L changes-user -V) >"$log" 2>&1; then
    cat "$log"
    echo "user-change check: tests failed as $who" >&2
    return 1
  fi
  grep -E '^[0-9]+: (PASS|SKIP|FAIL!) ' "$log" | sed 's/^[0-9]*: /  /'
  if [ "$skips_allowed" = 0 ] && grep -qE '^[0-9]+: SKIP ' "$log"; then
    echo "user-change check: tests skipped as $who where they could run" >&2
    return 1
  fi
}

clone="$folder/gnc"
git clone -q "$root" "$clone"
build="$clone/build"
export CCACHE_BASEDIR="$clone" CCACHE_NOHASHDIR=true
cmake -S "$clone" -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
mapfile -t tests < <(cd "$build" && ctest -N -L changes-user | sed -n 's/^ *Test *#[0-9]*: //p')
[ "${#tests[@]}" -gt 0 ] || {
  echo "user-change check: no test carries the label changes-user" >&2
  exit 1
}
cmake --build "$build" -j "$(nproc)" --target "${tests[@]}" >/dev/null

echo "Tests that change user, from $clone (folder mode $(stat -c %a "$folder")):"
if [ "$(id -u)" != 0 ]; then
  run_tests "$(id -un)" 0
  exit 0
fi
skips_allowed=1
can_become nobody && skips_allowed=0
run_tests root "$skips_allowed"

if ! id "$plain_user" >/dev/null 2>&1; then
  useradd --no-create-home --home-dir "$folder/home" --shell /usr/sbin/nologin "$plain_user"
  made_user=1
fi
if ! can_become "$plain_user"; then
  echo "user-change check: cannot run as $plain_user here; the plain-user run is left out" >&2
  exit 0
fi
mkdir -p "$folder/home"
chown -R "$plain_user:" "$folder"
echo "The same tests as $plain_user:"
run_tests "$plain_user" 0 \
  setpriv --reuid="$plain_user" --regid="$(id -g "$plain_user")" --init-groups \
  env -u TMPDIR -u XDG_RUNTIME_DIR HOME="$folder/home" USER="$plain_user" LOGNAME="$plain_user"
