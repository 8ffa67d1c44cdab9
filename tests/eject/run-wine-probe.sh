#!/bin/sh
# Builds the ejection logic with the Windows device layer into a console program (MinGW-w64,
# static, so that Wine needs no MinGW runtime) and runs it under Wine for the paths Wine
# supports. Wine has no device removal (CM_Query_And_Remove_SubTreeW is a stub that crashes
# it), so no row reaches an attempt. Exit status 77 means skipped.
# Usage: run-wine-probe.sh <source directory>
set -u
top=$1

compiler=$(command -v x86_64-w64-mingw32-g++-posix) || {
    echo "SKIP: MinGW-w64 (x86_64-w64-mingw32-g++-posix, package g++-mingw-w64-x86-64-posix) is not installed"
    exit 77
}
wine=$(command -v wine64 || true)
[ -n "$wine" ] || [ ! -x /usr/lib/wine/wine64 ] || wine=/usr/lib/wine/wine64
[ -n "$wine" ] || { echo "SKIP: Wine (wine64, package wine64) is not installed"; exit 77; }
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || echo wineserver)

work=$(mktemp -d "${TMPDIR:-/tmp}/lumetra-wine.XXXXXX") || exit 1
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    "$wineserver" -k >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT

# Warnings count as failures: this code is otherwise only ever compiled on Windows.
if ! "$compiler" -std=c++17 -O2 -Wall -Wextra -Werror -municode -static \
        -I"$top/eject" -o "$work/ejectprobe.exe" \
        "$top/tests/eject/ejectprobe_win.cpp" "$top/eject/ejectalgorithm.cpp" "$top/eject/ejectsystem_win.cpp" \
        -lsetupapi -lcfgmgr32 2>"$work/compiler.txt"; then
    echo "FAIL: the Windows layer does not build cleanly:"
    cat "$work/compiler.txt"
    exit 1
fi

started=$(date +%s.%N)
failures=0
# check <what a user would meet> <expected status> <expected output> <probe arguments...>
check() {
    what=$1 status=$2 output=$3
    shift 3
    "$wine" "$work/ejectprobe.exe" "$@" >"$work/out.txt" 2>"$work/err.txt" </dev/null
    actual=$?
    printed=$(cat "$work/out.txt")
    if [ "$actual" = "$status" ] && [ "$printed" = "$output" ]; then
        echo "PASS: $what"
    else
        echo "FAIL: $what: status $actual (expected $status), printed '$printed' (expected '$output')"
        sed 's/^/    wine: /' "$work/err.txt"
        failures=$((failures + 1))
    fi
}

check "the Microsoft runtime prints the messages, the veto name as a wide string" 0 \
    "Success/n/nfailed/nResult=0x17/nResult=0x D/nVetoName=USB Mass Storage Device)/n/n" messages
first=$(date +%s.%N)
check "a drive letter with no volume behind it gives 2 and prints nothing" 2 "" eject Q
check "drive C, a fixed disk whose device Wine does not list, gives 4" 4 "" eject C
check "a string longer than one letter names no volume" 2 "" eject CD
check "an empty string names no volume" 2 "" eject ""
finished=$(date +%s.%N)

awk -v a="$started" -v b="$first" -v c="$finished" \
    'BEGIN { printf "Wine with a new prefix, first run: %.1f s; the four ejections: %.1f s\n", b - a, c - b }'
[ "$failures" = 0 ]
