#!/bin/sh
# Stands in for a Lumetra on this machine: a small FAT volume that carries the marker file
# "lumetra.bin" (an older firmware) and "Version.txt" saying 1.8, so the tool offers the
# update. Needs root (it mounts).
#   scripts/demo-unit.sh mount     make and mount the volume at /mnt/lumetra-demo
#   scripts/demo-unit.sh unmount   unmount it and remove the image
set -eu
image=/var/tmp/lumetra-demo.img
mountpoint=/mnt/lumetra-demo

case "${1:-}" in
mount)
    [ "$(id -u)" = 0 ] || { echo "needs root: it mounts a volume" >&2; exit 1; }
    if grep -q " $mountpoint " /proc/mounts; then
        echo "already mounted at $mountpoint"
        exit 0
    fi
    rm -f "$image"
    truncate -s 16M "$image"
    mkfs.fat "$image" >/dev/null
    mkdir -p "$mountpoint"
    # The kernel here may have no vfat module; fusefat mounts FAT images in user space.
    if modprobe -q vfat 2>/dev/null && mount -o loop "$image" "$mountpoint" 2>/dev/null; then
        :
    else
        fusefat -o rw+ "$image" "$mountpoint" >/dev/null 2>&1
    fi
    head -c 200000 /dev/urandom >"$mountpoint/lumetra.bin"
    printf '1.8' >"$mountpoint/Version.txt"
    sync
    echo "A unit with firmware 1.8 is mounted at $mountpoint."
    echo "Start the tool (./scripts/run.sh) and follow the screens; afterwards:"
    echo "  cat $mountpoint/Version.txt    # 1.73 once updated (unless the tool ejected it)"
    echo "  scripts/demo-unit.sh unmount"
    ;;
unmount)
    if grep -q " $mountpoint " /proc/mounts; then
        umount "$mountpoint"
    fi
    rm -f "$image"
    echo "Removed the demo unit."
    ;;
*)
    echo "usage: $0 mount|unmount" >&2
    exit 2
    ;;
esac
