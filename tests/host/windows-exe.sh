#!/bin/sh
# LumetraInstaller.exe built from this tree with MinGW-w64 against the static Qt of scripts/windows-qt.sh, started
# under Wine: a library, static plugin (platform, QML module) or resource the Windows build leaves out shows as an exe
# that does not link, does not answer, or opens no window. Skips when that Qt or Wine is missing.
set -u
top=$1 work=$2
prefix=$("$top/scripts/windows-qt.sh" --prefix 2>/dev/null) ||
    { echo "SKIP: no static Qt for MinGW-w64 (scripts/windows-qt.sh builds it)"; exit 77; }
for tool in wine xvfb-run xdotool import; do
    command -v $tool >/dev/null || { echo "SKIP: $tool is missing (Debian's wine, wine64, xvfb, xdotool, imagemagick)"; exit 77; }
done
mkdir -p "$work"
{ cmake -S "$top" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" -DLUMETRA_WINQT_PREFIX="$prefix" \
      -DCMAKE_BUILD_TYPE=Release -DLUMETRA_BUILD_TESTS=OFF && cmake --build "$work/build" -j2; } >"$work/build.log" 2>&1 ||
    { tail -n 30 "$work/build.log"; echo "FAIL: LumetraInstaller.exe does not build"; exit 1; }
exe="$work/build/LumetraInstaller.exe" setup=
if command -v makensis >/dev/null; then
    cmake --build "$work/build" --target installer >>"$work/build.log" 2>&1 ||
        { tail -n 30 "$work/build.log"; echo "FAIL: the installer does not build"; exit 1; }
    setup="$work/build/LumetraInstaller-1.73-setup.exe"
else echo "NOTE: no makensis (Debian's nsis): the installer's rows are left out"
fi
# Each carries a signature over its own bytes, by the certificate the build made for the purpose.
if command -v osslsigncode >/dev/null; then
    for signed in "$exe" $setup; do
        osslsigncode verify -CAfile "$work/build/signing/test-certificate.pem" -in "$signed" >"$work/verify.log" 2>&1 ||
            { tail -n 5 "$work/verify.log"; echo "FAIL: $signed is not signed as it should be"; exit 1; }
    done
else echo "NOTE: no osslsigncode: the program and its setup are not signed"
fi
# Wine's menu builder would copy the Start-menu entry into this user's desktop menus.
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
installed="$WINEPREFIX/drive_c/Program Files/LumetraInstaller"
entry="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Zentorlab Lumetra Update Tool.lnk"
# A unit on drive U:, a folder linked in a made prefix before Wine starts again: Wine's mount manager gives each
# drive it finds then a volume GUID, which the lock's mutex is named after.
[ -e "$WINEPREFIX/dosdevices/c:" ] || { wineboot --init >/dev/null 2>&1; wineserver -w; }
unit="$work/unit"
rm -rf "$unit" && mkdir -p "$unit" && ln -sfn "$unit" "$WINEPREFIX/dosdevices/u:"
head -c 200000 /dev/urandom >"$unit/lumetra.bin" && printf 1.8 >"$unit/Version.txt"
failed=0
# arguments | exit status | a line it prints. "while" first: run while another --update --json holds the unit, frozen
# at its first progress event and let go afterwards; that one must still update it, its disk check ending without a
# verdict (-1): Wine has no chkdsk, so cmd's "not found" is what the checker reads. "setup", "installed" or
# "uninstall" first: the installer, the program it installed or its uninstaller instead of the program built.
while IFS='|' read -r arguments status text; do
    first= program=$exe
    case $arguments in
    setup\ *|installed\ *|uninstall\ *)
        [ -n "$setup" ] || continue
        case $arguments in setup*) program=$setup;; installed*) program="$installed/LumetraInstaller.exe";;
                           *) program="$installed/Uninstall.exe";; esac
        arguments=${arguments#* };;
    while\ *)
        arguments=${arguments#while }
        rm -f "$work/events" && mkfifo "$work/events"
        wine "$exe" --update --yes --no-eject --json >"$work/events" 2>/dev/null & first=$!
        exec 3<"$work/events"
        while read -r event <&3 && [ "${event#*\"progress\"}" = "$event" ]; do :; done
        kill -STOP $first;;
    esac
    output=$(wine "$program" $arguments 2>&1)
    got=$?
    # The uninstaller hands over to a copy of itself and returns: done once every process of the prefix is.
    [ "$program" = "$installed/Uninstall.exe" ] && wineserver -w
    [ "$program" = "$setup" ] && [ ! -e "$entry" ] && { echo "FAIL: the installer made no Start-menu entry"; failed=1; }
    if [ -n "$first" ]; then
        kill -CONT $first; events=$(cat <&3); exec 3<&-; wait $first
        for said in '"verdict":-1' '"outcome":"updated"'; do
            echo "$events" | grep -qF -- "$said" || { echo "FAIL: the unit's holder did not say $said:"; echo "$events"; failed=1; }
        done
    fi
    if [ "$got" != "$status" ] || ! echo "$output" | tr "\t" " " | grep -qF -- "$text"; then
        echo "FAIL: LumetraInstaller.exe $arguments ended with $got, not $status with \"$text\":"; echo "$output"; failed=1
    fi
    [ "$arguments" = --verify ] && ! cmp -s "$unit/lumetra.bin" "$top/resources/UpdatedFirmware/lumetra.bin" &&
        { echo "FAIL: U: holds other firmware than the bundled one"; failed=1; }
done <<'ROWS'
--version|0|LumetraInstaller 1.73
--help|0|--update
--list|0|U:/ 1.8 update available
while --update --yes --no-eject|1|U:/: busy: being updated by another LumetraInstaller
--list|0|U:/ 1.73 up to date
--verify|0|U:/: matches 1.73
--bogus|3|Usage: LumetraInstaller.exe
setup /S|0|
installed --version|0|LumetraInstaller 1.73
uninstall /S|0|
ROWS
for left in "$installed" "$entry"; do
    [ -z "$setup" ] || [ ! -e "$left" ] || { echo "FAIL: the uninstaller left $left"; failed=1; }
done
# The rows' console started Wine's desktop process with no display: the window needs a server of its own.
wineserver -k
# The window: its platform plugin, the QML modules and the resources are all needed before it shows. Start (the
# window's right edge, drawn once the first frame is) leads to Step one, whose picture in the lower middle is a JPEG
# that stays blank white without the JPEG plugin. Each wait ends as soon as the screen shows what it waits for.
xvfb-run -a -n 130 -s "-screen 0 1024x768x24 -dpi 96" sh -c '
    colours() { import -window "$window" png:- | convert - -crop "$1" -format %k info:; }
    shows() { for try in $(seq "$3"); do [ "$(colours "$1")" -gt "$2" ] && return 0; sleep 0.1; done; return 1; }
    # A click that arrives with the pointer entering the window may go unseen: clicked again, the next screen
    # (Step two) has a JPEG there too.
    start() { for click in 1 2 3; do xdotool mousemove --window "$window" 740 300 click 1; shows "$@" && return; done; }
    # Home against the Linux screenshot, both at an eighth of their size, where the slightly other rendering of the fonts
    # fades and a missing logo, title or button does not: the points (of 7,500) that differ by over a quarter.
    # Alike, a handful do; without one of those, 50 or more.
    difference() { import -window "$window" "$2/home.png" && convert "$2/home.png" -scale 12.5% "$2/home-small.png" &&
        convert "$1" -scale 12.5% "$2/home-linux.png" &&
        compare -metric AE -fuzz 25% "$2/home-small.png" "$2/home-linux.png" null: 2>&1 | grep -x "[0-9]*" || echo 7500; }
    wine "$1" >/dev/null 2>&1 &
    window=$(timeout 120 xdotool search --sync --onlyvisible --name "Zentorlab Lumetra" | head -n 1)
    if [ -z "$window" ]; then echo "FAIL: LumetraInstaller.exe showed no window within 120 s"
    elif ! shows 120x60+680+270 10 300; then echo "FAIL: the window never drew its Start button"
    elif [ "$(difference "$2" "$3")" -gt 20 ]; then
        echo "FAIL: Home differs from $2 in $(difference "$2" "$3") of 7500 points at 1/8 size: see $3/home.png"
    elif ! start 250x80+400+460 100 50; then
        echo "FAIL: Step one shows no picture ($(colours 250x80+400+460) colours where it should be)"
    else wineserver -k; exit 0
    fi
    wineserver -k; exit 1' window "$exe" "$top/docs/screenshots/1-home.png" "$work" || failed=1
# What of the Windows-only code these rows run, and what Wine cannot: said in the test's output.
echo "NOTE: run here: mount table and unit lock (U:, busy), device sync and shared file (the update, its log and" \
    "history), console (--help, --version), checker (no chkdsk under Wine: its no-verdict path); the removal layer" \
    "runs in tst_ejectwine. Not run: the removal itself (a folder on U: has no device), the stop signal and the" \
    "shutdown block (Wine gives no console to send Ctrl+C to, and no session end)"
[ $failed = 0 ] && echo "PASS: LumetraInstaller.exe ($(du -m "$exe" | cut -f1) MB) answers, updates a unit on a Wine drive and shows its window and pictures under Wine${setup:+; its setup installs, runs and uninstalls}"
exit $failed
