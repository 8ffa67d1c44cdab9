#!/bin/sh
# Installs what is missing, builds, and runs every test through ctest. Tests that need
# root (mounts, udisks) skip with a reason when run without it.
#   scripts/test.sh                      the normal build, in build/
#   scripts/test.sh --sanitize address   AddressSanitizer with UndefinedBehaviorSanitizer, in build-asan/
#   scripts/test.sh --sanitize thread    ThreadSanitizer, in build-tsan/
# Further arguments go to cmake's configure step.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
sanitizer=""
if [ "${1:-}" = "--sanitize" ]; then
    sanitizer=${2:?"--sanitize takes address or thread"}
    shift 2
fi

"$top/scripts/install-deps.sh"

case "$sanitizer" in
"")
    build=${LUMETRA_BUILD_DIR:-$top/build}
    ;;
address)
    build=${LUMETRA_BUILD_DIR:-$top/build-asan}
    # Full unwinding, so leaks inside Qt can be told from ours by their stacks.
    export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:fast_unwind_on_malloc=0"
    export LSAN_OPTIONS="suppressions=$top/tests/sanitizers/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
    ;;
thread)
    build=${LUMETRA_BUILD_DIR:-$top/build-tsan}
    # Qt itself is not instrumented: take the synchronisation it does from it, not races
    # inside it.
    export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1:suppressions=$top/tests/sanitizers/tsan.supp"
    ;;
*)
    echo "--sanitize takes address or thread" >&2
    exit 2
    ;;
esac

# One translation unit per target and batch of files: the suite's three builds take half the time.
LUMETRA_BUILD_DIR=$build "$top/scripts/build.sh" -DLUMETRA_SANITIZER="$sanitizer" -DCMAKE_UNITY_BUILD=ON "$@"
cd "$build"
# Most tests wait (on child processes, volumes, a window) rather than compute: three at a
# time keep two cores busy. Under a sanitizer what counts is the code of this build: the layout
# rows run only QML, the Windows checks and the package run none of it.
export LUMETRA_SANITIZER="$sanitizer"
if [ -n "$sanitizer" ]; then
    ctest --output-on-failure -j3 -LE "layout|windows|packaging"
else
    ctest --output-on-failure -j3
fi
