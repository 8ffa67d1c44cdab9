#!/bin/sh
# The Linux removal against a real udisks (run-test.sh's "udisks" mode gives the test a system bus, udev and
# udisks of its own) on an ext4 image that udisks sets up and mounts like a stick. Usage: udisks-ejection.sh
# <ejectprobe>. Exit status 77 means skipped.
set -u
[ "${LUMETRA_PRIVATE_MOUNTS:-}" = 1 ] && udisksctl status >/dev/null 2>&1 ||
    { echo "SKIP: needs root and udisks (ctest as root; dbus, udev, udisks2)"; exit 77; }
probe=$1 work=$(mktemp -d) failures=0; trap 'rm -rf "$work"' EXIT
# what udisksctl <command> says after <word>, once it answers (udev may be slow to probe a new device)
ask() { for try in $(seq 100); do
    answer=$(udisksctl $1 --no-user-interaction 2>/dev/null | sed -n "s/.* $2 \(.*\)$/\1/p") && [ -n "$answer" ] &&
        echo "${answer%.}" && return; sleep 0.1; done; }
# true once "$@" is, looked at every tenth of a second for 10 s at most
soon() { for try in $(seq 100); do "$@" && return; sleep 0.1; done; false; }
# every thread of udisks under strace
traced() { ! grep -qE 'TracerPid:[[:space:]]+0$' /proc/$(pidof udisksd)/task/*/status; }
# row <what a user would meet> <code> <console> <setting, run with $drive and $device first> [<bus>]
row() {
    truncate -s 16M "$work/unit.img" && mkfs.ext4 -q -F "$work/unit.img"
    device=$(ask "loop-setup -f $work/unit.img" as) drive=$(ask "mount -b $device" at)
    unit=$drive; eval "$4"
    # Every udisks request that might ask for a password must say not to.
    dbus-monitor --system "type='method_call',interface='org.freedesktop.UDisks2.Filesystem'" \
        "type='method_call',interface='org.freedesktop.UDisks2.Drive'" >"$work/requests" 2>&1 &
    # Listening once it has given up its own name to become a monitor.
    soon grep -q member=NameLost "$work/requests"; started=$(date +%s)
    DBUS_SYSTEM_BUS_ADDRESS=${5:-$DBUS_SYSTEM_BUS_ADDRESS} "$probe" "$drive" >"$work/console"
    code=$? seconds=$(($(date +%s) - started))
    kill $!; exec 3>&-
    mountpoint -q "$drive" && [ "$(stat -f -c %T "$drive")" = tmpfs ] && umount "$drive"
    requests=$(grep -cE 'member=(Unmount|Eject|PowerOff)' "$work/requests")
    asked=$(grep -A1 '"auth.no_user_interaction"' "$work/requests" | grep -c 'boolean true')
    mounted=$(mountpoint -q "$unit" && echo mounted || echo gone)
    backing=$(cat "/sys/block/${device#/dev/}/loop/backing_file")
    kill $(pidof strace) 2>/dev/null
    expected=$(echo "$3" | sed "s|\$device|$device|") expectedMount=$([ "$2" = 0 ] && echo gone || echo mounted)
    # One deadline of 10 s holds for the whole removal: well before the 15 s a stuck udisks takes, with room for
    # a slow start (a sanitizer build).
    seen="$code $(cat "$work/console") | $mounted $backing $asked"
    [ "$seen" = "$2 $expected | $expectedMount $work/unit.img $requests" ] && [ $seconds -le 14 ] &&
        echo "PASS: $1" || {
        echo "FAIL: $1: code $code after $seconds s, printed '$(cat "$work/console")', drive $mounted," \
             "on $backing, $asked of $requests asked no password"; failures=$((failures + 1)); }
    umount "$unit" 2>/dev/null; losetup -d "$device"
}
row "an idle drive is unmounted; its loop device is left alone" 0 "Success/n/n" ""
row "a file held open on it: three refusals with udisks' message" 5 \
    "failed/nResult=0x17/nVetoName=Error unmounting \$device: target is busy)/n/n" 'exec 3>"$drive/lumetra.bin"'
row "no system bus at all" 4 "" "" "unix:path=/run/nothing_here"
row "a folder on the drive is no volume" 2 "" 'drive=$drive/folder; mkdir "$drive"'
row "a tmpfs, which has no block device, mounted over the drive: the drive below is left alone" 2 "" \
    'mount -t tmpfs cover "$drive"'
row "udisks takes 15 s to unmount: the removal gives up at its deadline" 5 "failed/nResult=0x32/n" \
    'strace -qq -o /dev/null -f -p $(pidof udisksd) -e trace=umount2 -e inject=umount2:delay_enter=15000000 &
    soon traced'
[ "$failures" = 0 ]
