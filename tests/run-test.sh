#!/bin/sh
# Runs one test offscreen with a private 0700 runtime directory. As root, mode "root" adds a private mount
# namespace (the test's mounts never reach the machine, nor the machine's units the test); "udisks" adds a private PID
# namespace (every daemon ends with the test) holding a system bus, udev and udisks of the test's own on a private
# /run (with its /run/lock) and /media.
mode=$1; shift
if [ "$mode" = root-inside ] || [ "$mode" = udisks-inside ]; then
    # The machine's own units stay out of the test's sight and reach: every mount whose root carries lumetra.bin is
    # detached, in this namespace only. /proc writes a space, tab, line break or backslash as \040 \011 \012 \134.
    while read -r point; do
        point=$(printf '%b' "$(printf '%s' "$point" | sed 's/\\\([0-7]\{3\}\)/\\0\1/g')")
        [ ! -f "$point/lumetra.bin" ] || umount -l "$point" || { echo "FAIL: cannot hide the unit at $point"; exit 1; }
    done <<MOUNTS
$(cut -d ' ' -f 2 /proc/self/mounts)
MOUNTS
    [ "$mode" = udisks-inside ] || exec "$@"
fi
if [ "$mode" = udisks-inside ]; then
    udevd=/lib/systemd/systemd-udevd udisksd=/usr/libexec/udisks2/udisksd
    if [ -x $udevd ] && [ -x $udisksd ] && command -v dbus-daemon udisksctl >/dev/null; then
        for dir in /run /media; do mount -t tmpfs -o mode=0755,nosuid,nodev lumetra-test $dir || exit 1; done
        mkdir -p /run/dbus /run/udev /run/lock && chmod 1777 /run/lock
        echo '<busconfig><type>system</type><listen>unix:path=/run/dbus/system_bus_socket</listen><auth>EXTERNAL</auth>
<policy context="default"><allow user="*"/><allow own="*"/><allow send_destination="*"/>
<allow receive_sender="*"/></policy></busconfig>' >/run/dbus/system.conf
        export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/run/dbus/system_bus_socket
        dbus-daemon --config-file=/run/dbus/system.conf --fork --nopidfile && $udevd --daemon 2>/dev/null || exit 1
        $udisksd --no-sigint >/dev/null 2>&1 &
        for wait in $(seq 300); do udisksctl status >/dev/null 2>&1 && break; sleep 0.1; done
    fi
    exec "$@"
fi
runtime=$(mktemp -d "${TMPDIR:-/tmp}/lumetra-runtime.XXXXXX") || exit 1  # mktemp makes it 0700
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR="$runtime" XDG_DATA_HOME="$runtime/data" QT_QUICK_BACKEND=software
export QT_QPA_PLATFORM="${LUMETRA_TEST_PLATFORM:-offscreen}"
unset LUMETRA_PRIVATE_MOUNTS
if [ "$mode" != plain ] && [ "$(id -u)" = 0 ] && unshare -m --propagation private true 2>/dev/null; then
    if [ "$mode" = udisks ] && unshare --pid --fork --mount-proc true 2>/dev/null; then
        LUMETRA_PRIVATE_MOUNTS=1 unshare -m --propagation private --pid --fork --mount-proc --kill-child \
            "$0" udisks-inside "$@"
    else
        LUMETRA_PRIVATE_MOUNTS=1 unshare -m --propagation private "$0" root-inside "$@"
    fi
    exit $?
fi
# A plain test that runs the program may still look for units: as root it too sees none of the machine's.
if [ "$(id -u)" = 0 ] && unshare -m --propagation private true 2>/dev/null; then
    exec unshare -m --propagation private "$0" root-inside "$@"
fi
"$@"
