#!/bin/sh
# Makes the .deb, unpacks it into a scratch directory and starts the program from there:
# what a Linux user installs must carry everything the window needs.
set -u
build=$1
for tool in cpack dpkg-deb; do
    command -v $tool >/dev/null 2>&1 || { echo "SKIP: $tool is missing"; exit 77; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "FAIL: $*"; exit 1; }

(cd "$build" && cpack -G DEB -B "$scratch/package" >"$scratch/cpack.log" 2>&1) \
    || { cat "$scratch/cpack.log"; fail "cpack could not make the package"; }
deb=$(ls "$scratch"/package/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no .deb was made"

dpkg-deb --field "$deb" Package | grep -qx lumetrainstaller || fail "wrong package name"
dpkg-deb --field "$deb" Version | grep -qx "1.73.0" || fail "wrong version"
dpkg-deb --field "$deb" Depends | grep -q "libqt5qml5" || fail "library dependencies missing"
dpkg-deb --field "$deb" Depends | grep -q "qml-module-qtquick-controls2" || fail "QML module dependencies missing"

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
for path in usr/bin/LumetraInstaller \
            usr/share/applications/lumetrainstaller.desktop \
            usr/share/icons/hicolor/48x48/apps/lumetrainstaller.png \
            usr/share/icons/hicolor/256x256/apps/lumetrainstaller.png \
            usr/share/icons/hicolor/scalable/apps/lumetrainstaller.svg; do
    [ -e "$root/$path" ] || fail "$path is not in the package"
done
if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$root/usr/share/applications/lumetrainstaller.desktop" \
        || fail "the desktop entry is not valid"
fi

# The program ends at once with status 255 when its window cannot be made; a program that
# is still running after a few seconds shows its window.
"$root/usr/bin/LumetraInstaller" >"$scratch/run.log" 2>&1 &
pid=$!
sleep 3
if ! kill -0 $pid 2>/dev/null; then
    wait $pid
    status=$?
    cat "$scratch/run.log"
    fail "the unpacked program ended at once with status $status"
fi
kill $pid
wait $pid 2>/dev/null
if grep -E "qrc:/.*(Error|error|not installed|is not a type)" "$scratch/run.log"; then
    fail "the unpacked program reported errors in its UI"
fi
echo "PASS: the .deb installs the program, its desktop entry and icons, and the program starts"
