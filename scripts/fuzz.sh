#!/usr/bin/env bash
# Fuzzes every target in tests/fuzz/ with libFuzzer for SECONDS each
# (default 60), at low priority.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
# Builds with clang into ${FUZZ_BUILD_DIR:-build-fuzz} (address and
# undefined-behaviour sanitizers on). New inputs go to
# build-fuzz/corpus/<target>/, never into the committed seeds; an input that
# breaks a property is written to build-fuzz/crashes/<target>/ and the script
# ends with a failure.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_frames fuzz_decoder fuzz_template fuzz_report fuzz_encoder fuzz_link)
fi
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"

"$root/scripts/ensure-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DGNC_FUZZ_BUILD=ON >/dev/null
nice -n 10 cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

# The longest input each target reads.
max_len() {
  case "$1" in
    fuzz_template) echo 20000 ;;
    fuzz_frames) echo 1200 ;;
    fuzz_decoder) echo 4097 ;;
    *) echo 4096 ;;
  esac
}

export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# The template target writes files for every input: keep them in memory.
[ -w /dev/shm ] && export TMPDIR=/dev/shm
# Anything libFuzzer writes outside -artifact_prefix lands in the build folder,
# never in the working tree.
cd "$build"
failed=()
for target in "${targets[@]}"; do
  work="$build/corpus/$target"
  crashes="$build/crashes/$target"
  mkdir -p "$work" "$crashes"
  echo "== $target for ${seconds} s"
  if ! nice -n 10 "$build/tests/fuzz/$target" -max_total_time="$seconds" \
    -max_len="$(max_len "$target")" -artifact_prefix="$crashes/" -print_final_stats=1 \
    "$work" "$root/tests/fuzz/corpus/$target"; then
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Broken properties in: ${failed[*]} (inputs in $build/crashes/)" >&2
  exit 1
fi
echo "No property broken."
