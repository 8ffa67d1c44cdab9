#!/bin/sh
# Makes the .deb, unpacks it into a scratch directory and starts the program from there: what a Linux user installs
# must carry everything the window needs, and say the project's version ($2, four parts) as the package (three) and
# the program's --version (two, its own and its firmware's) do.
set -u
command -v cpack >/dev/null && command -v dpkg-deb >/dev/null || { echo "SKIP: cpack or dpkg-deb is missing"; exit 77; }
scratch=$(mktemp -d)
root="$scratch/root" icons=usr/share/icons/hicolor
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
(cd "$1" && cpack -G DEB -B "$scratch/package" >"$scratch/cpack.log" 2>&1) ||
    { cat "$scratch/cpack.log"; fail "cpack made no package"; }
deb=$(ls "$scratch"/package/*.deb | head -n 1)
fields=$(dpkg-deb --field "$deb" Package Version Depends)
for text in "Package: lumetrainstaller" "Version: ${2%.*}" libqt5qml5 qml-module-qtquick-controls2; do
    echo "$fields" | grep -q "$text" || fail "the package's fields lack $text"
done
dpkg-deb -x "$deb" "$root"
for path in usr/bin/LumetraInstaller usr/share/applications/lumetrainstaller.desktop \
            $icons/48x48/apps/lumetrainstaller.png $icons/256x256/apps/lumetrainstaller.png \
            $icons/scalable/apps/lumetrainstaller.svg; do
    [ -e "$root/$path" ] || fail "$path is not in the package"
done
said=$("$root/usr/bin/LumetraInstaller" --version | cut -d, -f1)
[ "$said" = "$(printf 'LumetraInstaller %s\nfirmware %s' "${2%.*.*}" "${2%.*.*}")" ] || fail "--version says: $said"
desktop-file-validate "$root/usr/share/applications/lumetrainstaller.desktop" || fail "the desktop entry is not valid"
# The program ends at once with 255 when its window cannot be made: its window on a screen of its own shows it
# started, looked for until it shows or the program ends (30 s at most). Each test that starts an X server of its own
# looks for a free display from a number of its own (e2e 110, windows_exe 130, here 150): from the same number, two
# started at once could both take it.
for tool in xvfb-run xdotool; do command -v $tool >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }; done
xvfb-run -a -n 150 sh -c 'QT_QPA_PLATFORM=xcb "$1" >"$2" 2>&1 & for try in $(seq 300); do kill -0 $! 2>/dev/null || exit 1
    xdotool search --onlyvisible --name "^Zentorlab Lumetra" >/dev/null && kill $! && exit 0; sleep 0.1; done
    exit 1' sh "$root/usr/bin/LumetraInstaller" "$scratch/run.log" ||
    { cat "$scratch/run.log"; fail "the unpacked program showed no window"; }
! grep -E "qrc:/.*(Error|error|not installed|is not a type)" "$scratch/run.log" || fail "the UI reported errors"
echo "PASS: the .deb installs the program, its desktop entry and icons, and the program starts"
