#!/bin/sh
# Runs a test as the first process of a private PID namespace, so that the daemons it starts
# end with it, however it ends. Where that cannot be had (no root, no unshare), runs it as is.
if [ "$(id -u)" = 0 ] && [ "${LUMETRA_PRIVATE_MOUNTS:-}" = 1 ] \
        && unshare --pid --fork --mount-proc true 2>/dev/null; then
    exec unshare --pid --fork --mount-proc --kill-child "$@"
fi
exec "$@"
