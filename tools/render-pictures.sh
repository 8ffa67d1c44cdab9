#!/bin/sh
# Renders the pictures, the logo and the application icon from the SVG sources in art/ and
# app/icons/. Needs rsvg-convert (librsvg2-bin) and ImageMagick's convert.
#
# Each step picture is shown aspect-fit in a fixed box of the 800 x 600 window; it is rendered at
# twice that box so that it stays sharp on a high-DPI screen, and no larger, since a bigger
# picture only costs start-up time and memory. The sources are drawn at the box's own size and
# take the unit, the laptop, the plugs and the badges from art/parts.svg, so that all six
# pictures show the same things in the same way. The outputs are committed with their sources.
#
# Usage: tools/render-pictures.sh        (from anywhere; writes into the source tree)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
art="$root/art"
assets="$root/resources/Assets"
icons="$root/app/icons"
windows="$root/app/windows"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

# The logo's wordmark is text set in Roboto: take it from the fonts we ship, not from whatever
# the machine has installed, so every machine renders the same letters.
mkdir -p "$work/fontcache"
cat > "$work/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
    <dir>$root/resources/Fonts</dir>
    <cachedir>$work/fontcache</cachedir>
</fontconfig>
EOF
FONTCONFIG_FILE="$work/fonts.conf"
export FONTCONFIG_FILE

# PNGs without time stamps or other metadata, so that a rerun gives the same bytes.
png_options="-strip -define png:exclude-chunks=date,time -define png:compression-level=9"

# picture NAME WIDTH HEIGHT: art/NAME.svg -> resources/Assets/NAME.jpg at WIDTH x HEIGHT.
# JPEG quality 85 with full-resolution colour (4:4:4): flat colour edges, above all the green,
# smear visibly with the usual halved colour resolution, and the files stay small either way.
picture()
{
    rsvg-convert --width "$2" --height "$3" "$art/$1.svg" --output "$work/$1.png"
    convert "$work/$1.png" -background white -alpha remove -alpha off -strip \
        -sampling-factor 1x1 -quality 85 "$assets/$1.jpg"
}

# Boxes at 800 x 600 (unit length 600 / 8.33): Step one 680 x 360, Step two 680 x 432,
# Step three 620 x 360, Step four 680 x 360, Finish and up-to-date 620 x 360.
picture Lumetra-Disconnect 1360 720
picture lumetra-ConnectUSB 1360 864
picture lumetra-Detected 1240 720
picture lumetra-NotDetected 1240 720
picture lumetra-UnplugUSB 1360 720
picture lumetra-FinishUpdate 1240 720

# The logo's box is 165 x 58; the wordmark is wider than that box, so the width decides.
rsvg-convert --width 330 "$art/ZentorlabLogo.svg" --output "$work/logo.png"
# shellcheck disable=SC2086 # png_options is a list of options
convert "$work/logo.png" $png_options "PNG32:$assets/ZentorlabLogo.png"

# Application icon: PNGs for a Linux desktop entry and one multi-size .ico for Windows. Every
# size is rendered from the vector source rather than scaled down from the largest one.
for size in 16 32 48 128 256; do
    rsvg-convert --width "$size" --height "$size" "$icons/lumetrainstaller.svg" \
        --output "$work/icon-$size.png"
done
for size in 48 128 256; do
    # shellcheck disable=SC2086
    convert "$work/icon-$size.png" $png_options "PNG32:$icons/lumetrainstaller-$size.png"
done
# shellcheck disable=SC2086
convert "$work/icon-16.png" "$work/icon-32.png" "$work/icon-48.png" "$work/icon-256.png" \
    $png_options "$windows/LumetraInstaller.ico"
