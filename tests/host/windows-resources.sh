#!/bin/sh
# MinGW's windres compiles the Windows build's resource script (icon, version record, manifest), so a missing file
# or a broken statement shows before a Windows build does. The version record must say 1.73.0.0 and
# LumetraInstaller.exe; its strings are UTF-16, the manifest's UTF-8. Without the per-monitor DPI settings Windows
# would stretch the window's bitmap, blurred, on a scaled monitor.
set -u
windres=$(command -v x86_64-w64-mingw32-windres) || { echo "SKIP: MinGW-w64's windres is missing"; exit 77; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$windres" --input-format=rc --output-format=res "$1" -o "$out/app.res" || { echo "FAIL: windres"; exit 1; }
{ strings -e l "$out/app.res"; strings "$out/app.res"; } >"$out/strings.txt"
for text in 1.73.0.0 LumetraInstaller.exe asInvoker Microsoft.Windows.Common-Controls true/pm '>PerMonitor<'; do
    grep -q "$text" "$out/strings.txt" || { echo "FAIL: $text is not in the compiled resources"; exit 1; }
done
echo "PASS: the Windows resource script compiles with icon, version record and manifest"
