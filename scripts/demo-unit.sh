#!/bin/sh
# Stands in for a Lumetra on this machine: a small FAT volume that carries the marker file
# "lumetra.bin" (an older firmware) and "Version.txt" saying 1.8, so the tool offers the
# update. It mounts, so it runs as root: as a user it runs itself again through sudo, and the
# volume's files then belong to that user, who runs the tool.
#   scripts/demo-unit.sh mount     make and mount the volume at /mnt/lumetra-demo
#   scripts/demo-unit.sh unmount   unmount it and remove the image
set -eu
image=/var/tmp/lumetra-demo.img
mountpoint=/mnt/lumetra-demo

case "${1:-}" in
mount | unmount)
    if [ "$(id -u)" != 0 ]; then
        command -v sudo >/dev/null || { echo "needs root (it mounts a volume); there is no sudo: run it as root" >&2; exit 1; }
        exec sudo "$0" "$@"
    fi
    ;;
esac
owner=${SUDO_UID:-0} group=${SUDO_GID:-0}

case "${1:-}" in
mount)
    if grep -q " $mountpoint " /proc/mounts; then
        echo "already mounted at $mountpoint"
        exit 0
    fi
    rm -f "$image"
    truncate -s 16M "$image"
    mkfs.fat "$image" >/dev/null
    mkdir -p "$mountpoint"
    # The kernel here may have no vfat module; fusefat mounts FAT images in user space.
    if modprobe -q vfat 2>/dev/null && mount -o "loop,uid=$owner,gid=$group" "$image" "$mountpoint" 2>/dev/null; then
        :
    else
        fusefat -o "rw+,allow_other,uid=$owner,gid=$group" "$image" "$mountpoint" >/dev/null 2>&1
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
