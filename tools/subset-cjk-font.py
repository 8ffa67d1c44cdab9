#!/usr/bin/python3
# Cuts one face of Debian's Noto Sans CJK (fonts-noto-cjk) down to the characters a
# translation uses, at build time: a new text in the .ts file brings its characters into the
# bundle by itself. Renamed (a modified version, as the SIL Open Font License asks, and one
# the system's full Noto CJK cannot stand in for where it is installed).
#   subset-cjk-font.py <file.ts> <collection.ttc> <face index> <family> <output.otf>
# Needs fontTools (Debian's python3-fonttools); the build runs it with the Python 3 it found.
# The licence: resources/Fonts/LICENSE-NotoSansCJK.txt.
import sys
import xml.etree.ElementTree as ElementTree

from fontTools import subset
from fontTools.ttLib import TTFont

ts, collection, index, family, output = sys.argv[1:6]

# Every character of every translation; Roboto comes first for those it has, so the Latin
# ones cost a few glyphs and keep a text drawable if the two sets ever part.
text = "".join(element.text or "" for element in ElementTree.parse(ts).iter("translation"))
characters = sorted(set(text) - set(" \t\r\n"))

font = TTFont(collection, fontNumber=int(index))
options = subset.Options()
# Kerning, the forms of each region (locl) and the composed Korean syllables.
options.layout_features = ["kern", "liga", "calt", "ccmp", "locl", "mark", "mkmk",
                           "ljmo", "vjmo", "tjmo"]
options.name_IDs = [0, 1, 2, 3, 4, 5, 6]
options.name_languages = ["*"]
subsetter = subset.Subsetter(options)
subsetter.populate(text="".join(characters))
subsetter.subset(font)

# Roboto's line height (1900 up, 500 down of 2048 units): the rows of the screens are sized
# for it, and a line that mixes in a character of Noto's taller line (1160 and 288 of 1000)
# would grow by a quarter and push a list past its row. The CJK characters themselves sit
# within 880 and 120, so none is cut.
units = font["head"].unitsPerEm
ascent, descent = round(units * 1900 / 2048), round(units * 500 / 2048)
font["hhea"].ascent, font["hhea"].descent, font["hhea"].lineGap = ascent, -descent, 0
metrics = font["OS/2"]
metrics.sTypoAscender, metrics.sTypoDescender, metrics.sTypoLineGap = ascent, -descent, 0
metrics.usWinAscent, metrics.usWinDescent = ascent, descent

style = font["name"].getDebugName(2)
postscript = family.replace(" ", "") + "-" + style
for record in font["name"].names:
    if record.nameID in (1, 16):
        record.string = family
    elif record.nameID == 4:
        record.string = family if style == "Regular" else family + " " + style
    elif record.nameID in (3, 6):
        record.string = postscript
cff = font["CFF "].cff
top = cff[cff.fontNames[0]]
cff.fontNames = [postscript]
top.FullName = family if style == "Regular" else family + " " + style
top.FamilyName = family
font.save(output)
