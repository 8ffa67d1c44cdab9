#!/bin/sh
# MinGW's windres compiles the Windows build's resource script as the build configured it (icon, version record,
# manifest), so a missing file or a broken statement shows before a Windows build does. The version record (UTF-16
# strings) must say the project's version ($2) and LumetraInstaller.exe, the manifest (UTF-8) that version too.
# Without the per-monitor DPI settings Windows would stretch the window's bitmap, blurred, on a scaled monitor.
set -u
windres=$(command -v x86_64-w64-mingw32-windres) || { echo "SKIP: MinGW-w64's windres is missing"; exit 77; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$windres" --input-format=rc --output-format=res "$1" -o "$out/app.res" || { echo "FAIL: windres"; exit 1; }
strings -e l "$out/app.res" >"$out/record"
strings "$out/app.res" >"$out/manifest"
has() { grep -qF -- "$2" "$out/$1" || { echo "FAIL: the compiled $1 lacks $2"; exit 1; }; }
has record "$2"; has record LumetraInstaller.exe
has manifest "version=\"$2\""; has manifest asInvoker; has manifest Microsoft.Windows.Common-Controls; has manifest true/pm; has manifest '>PerMonitor<'
echo "PASS: the Windows resource script compiles with icon, version record and manifest"
