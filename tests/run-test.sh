#!/bin/sh
# Runs one test the way every test runs: offscreen, with a private 0700 runtime directory,
# and (mode "root") inside a private mount namespace, so mounts made by the test never
# reach the rest of the machine. Without root the test runs as it is and skips what needs it.
mode=$1
shift
runtime=$(mktemp -d "${TMPDIR:-/tmp}/lumetra-runtime.XXXXXX") || exit 1
chmod 0700 "$runtime"
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR="$runtime"
export XDG_DATA_HOME="$runtime/data"
export QT_QPA_PLATFORM="${LUMETRA_TEST_PLATFORM:-offscreen}"
export QT_QUICK_BACKEND=software
unset LUMETRA_PRIVATE_MOUNTS
if [ "$mode" = root ] && [ "$(id -u)" = 0 ] && command -v unshare >/dev/null 2>&1 \
        && unshare -m --propagation private true 2>/dev/null; then
    LUMETRA_PRIVATE_MOUNTS=1 unshare -m --propagation private "$@"
    exit $?
fi
"$@"
