#!/bin/sh
# Makes the bundled Roboto and Material Icons from Debian's packages (fonts-roboto-unhinted,
# fonts-material-design-icons-iconfont), cut down to what the UI shows: Latin text, and the
# two arrow ligatures the buttons draw. Registering a 300 KB font scans every glyph at start-up;
# the subsets keep the first frame close to that of a bare window.
# Needs Debian's python3-fonttools (so /usr/bin/python3, not another python3 on PATH).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
out="$top/resources/Fonts"
roboto=/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF
icons=/usr/share/fonts/truetype/material-design-icons-iconfont
subset="/usr/bin/python3 -m fontTools.subset"

# Basic Latin, Latin-1, Latin Extended-A (Polish), the common punctuation
# (dashes, quotes, ellipsis, the narrow no-break space French sets before "!"), euro, trade mark:
# every character the texts in Latin script use (Chinese, Japanese and Korean: subset-cjk-font.py).
text_ranges="U+0020-007E,U+00A0-017F,U+2010-2027,U+202F-203A,U+20AC,U+2122,U+FFFD"
text_features="kern,liga,calt,ccmp,locl,mark,mkmk"
for face in Regular Bold; do
    $subset "$roboto/Roboto-$face.ttf" --unicodes="$text_ranges" \
        --layout-features="$text_features" --output-file="$out/Roboto-$face.ttf"
done

# Icons are written as ligature names; keep every ligature spelt with these letters.
$subset "$icons/MaterialIcons-Regular.ttf" --text="keyboard_arrow_right keyboard_arrow_left" \
    --layout-features='*' --output-file="$out/MaterialIcons-Regular.ttf"

cp /usr/share/doc/fonts-roboto-unhinted/copyright "$out/LICENSE-Roboto.txt"
cp /usr/share/doc/fonts-material-design-icons-iconfont/copyright "$out/LICENSE-MaterialIcons.txt"
