#!/usr/bin/env bash
# Runs CTest in a sanitizer build folder (see ./test --sanitize) with leak
# detection on. Every process the tests start (the simulator, the template
# tool, the configurator) inherits the options: address and leak reports go
# into one folder, so a report of a program whose exit status no test looks
# at still fails the run. Undefined behaviour ends the program at once (the
# build does not recover from it) and its report, which this runtime always
# writes on standard error, is looked for in the tests' output.
#   scripts/sanitized-ctest.sh BUILD_DIR [CTEST ARGS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$1"
shift
reports="$build/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"

# Paths are quoted: the options are split at ':' and a clone may lie in a
# folder whose name has spaces.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=0:exitcode=86:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:log_path='$reports/asan'"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:exitcode=87"
export LSAN_OPTIONS="exitcode=88:suppressions='$root/tests/sanitizer/lsan.supp':print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

cd "$build"
status=0
nice -n 10 ctest --output-on-failure -j "$(nproc)" "$@" || status=$?

if [ -f Testing/Temporary/LastTest.log ] && grep -E "runtime error:|ERROR: (Address|Leak)Sanitizer|SUMMARY: [A-Za-z]+Sanitizer" \
  Testing/Temporary/LastTest.log >&2; then
  echo "Sanitizer reports in the tests' output (Testing/Temporary/LastTest.log)" >&2
  status=1
fi
if [ -n "$(ls -A "$reports")" ]; then
  echo "Sanitizer reports:" >&2
  for report in "$reports"/*; do
    echo "==== $report" >&2
    cat "$report" >&2
  done
  status=1
fi
exit "$status"
