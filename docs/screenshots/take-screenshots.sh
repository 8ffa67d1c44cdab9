#!/bin/sh
# Takes the screenshots in this directory from the real program on a virtual screen
# (Xvfb): the seven screens and the progress popup at 96 dpi, Step two at 120 dpi, and Step
# three in Japanese and Polish. As root it runs itself again in a private mount namespace and
# mounts a small tmpfs that carries "lumetra.bin", so that the unit is detected and really
# updated (every other unit is hidden from the program there), then found up to date; the
# mount is gone when the script ends. A tmpfs unit cannot be ejected: Step four shows the
# words for a drive to eject by hand.
#   take-screenshots.sh [build directory]   (default: ../../build)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
program="$build/LumetraInstaller"
out=${LUMETRA_SCREENSHOT_DIR:-$here}

if [ "$(id -u)" = 0 ] && [ -z "${LUMETRA_PRIVATE_MOUNTS:-}" ]; then
    # Through the tests' runner, which hides the machine's own units in that namespace: Update
    # must reach the script's unit alone, never one plugged into this machine.
    exec env LUMETRA_PRIVATE_MOUNTS=1 unshare -m --propagation private "$here/../../tests/run-test.sh" root-inside \
        "$0" "$build"
fi

work=$(mktemp -d)
chmod 0700 "$work"
unit="$work/unit"
mkdir "$unit"
xvfb=""
tool=""
cleanup()
{
    [ -n "$tool" ] && kill "$tool" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    mountpoint -q "$unit" && umount "$unit"
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$work"

# A virtual screen at the given dots per inch, which is also the font DPI the tool sees.
screen()
{
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    export DISPLAY=:$(( 100 + $$ % 100 ))
    Xvfb "$DISPLAY" -screen 0 800x600x24 -dpi "$1" -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    sleep 1
}
# 96 dots per inch, the common Windows setting.
screen 96

shot()
{
    sleep "${2:-0.6}"
    # A window that has not painted yet shows as plain black: wait for its first frame.
    for i in 1 2 3 4 5 6 7 8 9 10; do
        import -window root -crop 800x600+0+0 +repage -strip "$work/shot.png"
        [ "$(convert "$work/shot.png" -format '%[fx:mean>0]' info:)" = 1 ] && break
        sleep 0.5
    done
    # 256 colours keep the files small; the screens have few colours besides the pictures.
    convert "$work/shot.png" +dither -colors 256 PNG8:"$out/$1.png"
    echo "$out/$1.png"
}

# The buttons ignore a click that comes within a double click of their screen appearing.
click()
{
    sleep 0.5
    xdotool mousemove "$1" "$2" click 1
}

start()
{
    "$@" >"$work/log" 2>&1 &
    tool=$!
    for i in 1 2 3 4 5 6 7 8 9 10; do
        xdotool search --name "Zentorlab Lumetra" >/dev/null 2>&1 && break
        sleep 0.5
    done
    sleep 1
}

stop()
{
    kill "$tool" 2>/dev/null || true
    wait "$tool" 2>/dev/null || true
    tool=""
}

# Centres of the buttons at 800 x 600: labelled buttons 120 wide, arrows 60, at the
# right edge; the back arrow in the left column.
labelled="740 300"
arrow="770 300"
back="30 300"

# Without the unit: the home screen, the first two steps, and step three not detected.
start "$program"
shot 1-home
click $labelled; shot 2-step-one
click $arrow; shot 3-step-two
click $arrow; shot 4-step-three-not-detected
stop

# Step two again at 120 dots per inch (125 % scaling): the same picture.
screen 120
start "$program"
click $labelled; click $arrow; shot 3-step-two-120dpi
stop
screen 96

if [ "$(id -u)" != 0 ]; then
    echo "Not root: no unit to detect, so no screenshots of the update." >&2
    exit 0
fi

# With a unit that needs the update: detected, the popup while the copy runs, step four
# and the finish screen.
mount -t tmpfs -o size=4m lumetra "$unit"
printf 'old firmware' >"$unit/lumetra.bin"
printf '1.0' >"$unit/Version.txt"
# Step three in Japanese and in Polish: another script, and long words.
for language in ja pl; do
    start "$program" --lang "$language"
    click $labelled; click $arrow; click $arrow
    shot "5-step-three-detected-$language"
    stop
done
# The removal's debug line tells when the copy has ended; the terminal shows it only when asked.
start env QT_LOGGING_RULES=lumetra.backend.debug=true "$program"
click $labelled; click $arrow; click $arrow
shot 5-step-three-detected
click $labelled; shot 6-updating 0.3
# The copy ends, the bar glides to 1 and the removal takes a second more.
for i in $(seq 1 40); do
    grep -q "diskName" "$work/log" 2>/dev/null && break
    sleep 0.25
done
shot 7-step-four 3
click $arrow; shot 8-finish
stop

# The unit now carries this firmware's version: Update leads through Step four to the
# up-to-date screen.
start "$program"
click $labelled; click $arrow; click $arrow; click $labelled
sleep 2
click $arrow; shot 9-up-to-date
stop
umount "$unit"
