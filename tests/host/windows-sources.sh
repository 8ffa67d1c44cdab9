#!/bin/sh
# Every .cpp of every product directory but the Linux platform files (so the _win.cpp files, compiled nowhere else
# here, and any file added later) compiled for Windows with MinGW-w64 as far as a compiler goes without a Qt for
# Windows: -fsyntax-only against the system's Qt headers, which take their Windows paths under this compiler.
# Further arguments: folders of the headers the build makes.
set -u
compiler=$(command -v x86_64-w64-mingw32-g++-posix) ||
    { echo "SKIP: MinGW-w64 (g++-mingw-w64-x86-64-posix) is missing"; exit 77; }
qt=$(qmake -query QT_INSTALL_HEADERS 2>/dev/null || echo /usr/include/x86_64-linux-gnu/qt5)
[ -f "$qt/QtCore/qglobal.h" ] || { echo "SKIP: no Qt headers in $qt"; exit 77; }
top=$1
shift
cd "$top" || exit 1
sources=$(find . -mindepth 1 \( -name '.*' -o -name 'build*' -o -path ./tests -o -path ./bench -o -path ./tools \) \
          -prune -o -name '*.cpp' ! -name '*_linux.cpp' -print | sort)
[ -n "$sources" ] || { echo "FAIL: no sources found under $top"; exit 1; }
flags="-std=c++17 -fsyntax-only -Wall -Wextra -Werror -DUNICODE -D_UNICODE -isystem $qt"
for folder in $(for file in $sources; do dirname "$file"; done | sort -u) "$@"; do flags="$flags -I$folder"; done
for module in QtCore QtGui QtQml QtQuick; do flags="$flags -isystem $qt/$module"; done
export compiler flags
# Two at a time: CI and the other builds share the cores. Each failure names its file.
failed=$(echo "$sources" | xargs -P 2 -n 1 sh -c '$compiler $flags "$1" >&2 || echo "$1"' check)
[ -z "$failed" ] || { echo "FAIL: for Windows, these do not compile:" $failed; exit 1; }
echo "PASS: the $(echo "$sources" | wc -l) sources of the Windows build compile with MinGW-w64"
