#!/usr/bin/python3
"""Builds resources/Fonts/zentorlab-font.ttf, the maker's small icon font.

Family "zentorlab-font", style Regular: 28 simple geometric icons on Private Use Area code points
U+E000 to U+E01B, plus .notdef. The glyph count is the length of the glyph order, and .notdef
counts: .notdef + 28 icons = 29 glyphs.

Icons are drawn on a 24 x 24 grid, y pointing down, with strokes turned into filled outlines
here, so the font needs no hinting and no outline tools beyond fontTools (Debian's
python3-fonttools; Debian's own python3, hence the interpreter line). The time stamps in the head
table are fixed, so a rebuild gives the same bytes and the committed file only changes when an
icon does.

Usage: tools/make-icon-font.py [output.ttf]
"""
import math
import os
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.misc.timeTools import timestampSinceEpoch
from fontTools.pens.ttGlyphPen import TTGlyphPen

FAMILY = "zentorlab-font"
UNITS_PER_EM = 1000
ASCENT = 900
DESCENT = -100
GRID = 24
FIRST_CODE_POINT = 0xE000
# 2024-01-01 00:00:00 UTC, in place of the build time.
FIXED_TIME = timestampSinceEpoch(1704067200)

STROKE = 2.4


# --- Outlines -----------------------------------------------------------------------------------
# A contour is a list of (x, y, on_curve) points in grid units. Orientation is fixed when the
# glyph is written: filled parts clockwise, holes anticlockwise, as TrueType's non-zero rule
# expects. Holes must not overlap one another; filled parts may overlap.

class Shape:
    def __init__(self):
        self.contours = []

    def fill(self, contour):
        self.contours.append((contour, False))
        return self

    def hole(self, contour):
        self.contours.append((contour, True))
        return self


def polygon(points):
    return [(x, y, True) for x, y in points]


def rect(x0, y0, x1, y1):
    return polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)])


def circle(cx, cy, r):
    # Eight quadratic arcs; the off-curve point of each lies where the end tangents meet.
    points = []
    reach = r / math.cos(math.pi / 8)
    for k in range(8):
        a = k * math.pi / 4
        points.append((cx + r * math.cos(a), cy + r * math.sin(a), True))
        b = a + math.pi / 8
        points.append((cx + reach * math.cos(b), cy + reach * math.sin(b), False))
    return points


def arc_points(cx, cy, r, start, end):
    """On- and off-curve points along a circle from angle start to end (degrees, y down,
    0 = right, 90 = up), in steps of at most 45 degrees."""
    steps = max(1, math.ceil(abs(end - start) / 45))
    step = math.radians(end - start) / steps
    reach = r / math.cos(step / 2)
    points = []
    for k in range(steps + 1):
        a = math.radians(start) + k * step
        points.append((cx + r * math.cos(a), cy - r * math.sin(a), True))
        if k < steps:
            b = a + step / 2
            points.append((cx + reach * math.cos(b), cy - reach * math.sin(b), False))
    return points


def arc_band(cx, cy, r, width, start, end):
    """A stroked arc with square ends: the band between two concentric arcs."""
    outer = arc_points(cx, cy, r + width / 2, start, end)
    inner = arc_points(cx, cy, r - width / 2, start, end)
    return outer + list(reversed(inner))


def stroke(points, width=STROKE):
    """Outline of an open polyline of the given width, with mitred joins and square ends."""
    half = width / 2

    def offset(p, q):
        dx, dy = q[0] - p[0], q[1] - p[1]
        length = math.hypot(dx, dy)
        return -dy / length * half, dx / length * half

    left, right = [], []
    for i, p in enumerate(points):
        if i == 0:
            nx, ny = offset(p, points[1])
        elif i == len(points) - 1:
            nx, ny = offset(points[-2], p)
        else:
            ax, ay = offset(points[i - 1], p)
            bx, by = offset(p, points[i + 1])
            # The mitre point lies along the sum of the two normals, scaled so that its
            # distance from both segments is half the width.
            sx, sy = ax + bx, ay + by
            scale = (half * half) / (sx * ax + sy * ay)
            nx, ny = sx * scale, sy * scale
        left.append((p[0] + nx, p[1] + ny))
        right.append((p[0] - nx, p[1] - ny))
    return polygon(left + list(reversed(right)))


def rotated(contour, degrees, cx=GRID / 2, cy=GRID / 2):
    a = math.radians(degrees)
    c, s = math.cos(a), math.sin(a)
    return [(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c, on)
            for x, y, on in contour]


def plus_outline(arm, half):
    c = GRID / 2
    return polygon([
        (c - half, c - arm), (c + half, c - arm), (c + half, c - half), (c + arm, c - half),
        (c + arm, c + half), (c + half, c + half), (c + half, c + arm), (c - half, c + arm),
        (c - half, c + half), (c - arm, c + half), (c - arm, c - half), (c - half, c - half),
    ])


# --- Icons --------------------------------------------------------------------------------------

ARROW_RIGHT = polygon([(4, 10.8), (13, 10.8), (13, 5.5), (20, 12), (13, 18.5), (13, 13.2),
                       (4, 13.2)])
CHEVRON_RIGHT = stroke([(9, 5.5), (15.5, 12), (9, 18.5)])
CHECK = stroke([(4.5, 12.5), (9.5, 17.5), (19.5, 7.5)])
CROSS = rotated(plus_outline(9.5, 1.2), 45)


def question_mark():
    hook = [(12 + 3 * math.cos(math.radians(t)), 9.5 - 3 * math.sin(math.radians(t)))
            for t in range(180, -50, -10)]
    return stroke(hook + [(12, 13.3), (12, 14.6)], 2.0)


def refresh():
    start, r = 30, 7
    a = math.radians(start)
    end_x, end_y = 12 + r * math.cos(a), 12 - r * math.sin(a)
    along = (math.sin(a), math.cos(a))         # direction of travel at the open end
    across = (math.cos(a), -math.sin(a))       # outwards from the centre
    head = polygon([
        (end_x + across[0] * 3.4, end_y + across[1] * 3.4),
        (end_x + along[0] * 3.8, end_y + along[1] * 3.8),
        (end_x - across[0] * 3.4, end_y - across[1] * 3.4),
    ])
    return Shape().fill(arc_band(12, 12, r, 2.4, start, 300)).fill(head)


def usb():
    return (Shape()
            .fill(rect(11, 5.5, 13, 18))
            .fill(polygon([(12, 1.8), (15, 6), (9, 6)]))
            .fill(circle(12, 19.2, 2.3))
            .fill(stroke([(12, 15.5), (7, 12), (7, 8.5)], 1.8))
            .fill(circle(7, 8, 1.9))
            .fill(stroke([(12, 13), (17, 10), (17, 8.5)], 1.8))
            .fill(rect(15.3, 5.6, 18.7, 9)))


ICONS = [
    ("arrow_right", Shape().fill(ARROW_RIGHT)),
    ("arrow_left", Shape().fill(rotated(ARROW_RIGHT, 180))),
    ("arrow_up", Shape().fill(rotated(ARROW_RIGHT, 270))),
    ("arrow_down", Shape().fill(rotated(ARROW_RIGHT, 90))),
    ("chevron_right", Shape().fill(CHEVRON_RIGHT)),
    ("chevron_left", Shape().fill(rotated(CHEVRON_RIGHT, 180))),
    ("chevron_up", Shape().fill(rotated(CHEVRON_RIGHT, 270))),
    ("chevron_down", Shape().fill(rotated(CHEVRON_RIGHT, 90))),
    ("check", Shape().fill(CHECK)),
    ("close", Shape().fill(CROSS)),
    ("plus", Shape().fill(plus_outline(7.5, 1.2))),
    ("minus", Shape().fill(rect(4.5, 10.8, 19.5, 13.2))),
    ("check_circle", Shape().fill(circle(12, 12, 10))
        .hole(stroke([(7.2, 12.3), (10.4, 15.5), (16.8, 9.1)], 2.2))),
    ("cancel", Shape().fill(circle(12, 12, 10))
        .hole(rotated(plus_outline(6, 1.1), 45))),
    ("warning", Shape().fill(polygon([(12, 2), (23, 21), (1, 21)]))
        .hole(rect(11, 9, 13, 15)).hole(rect(11, 16.5, 13, 18.5))),
    ("info", Shape().fill(circle(12, 12, 10))
        .hole(circle(12, 7.3, 1.3)).hole(rect(10.9, 10, 13.1, 17.5))),
    ("help", Shape().fill(circle(12, 12, 10))
        .hole(question_mark()).hole(circle(12, 17.3, 1.25))),
    ("power", Shape().fill(arc_band(12, 13, 7, 2.4, 120, 420))
        .fill(rect(10.8, 2.5, 13.2, 12))),
    ("usb", usb()),
    ("eject", Shape().fill(polygon([(12, 4.5), (19.5, 13), (4.5, 13)]))
        .fill(rect(4.5, 15.5, 19.5, 18.2))),
    ("download", Shape()
        .fill(polygon([(10.8, 3), (13.2, 3), (13.2, 10), (17.5, 10), (12, 15.8), (6.5, 10),
                       (10.8, 10)]))
        .fill(rect(4, 18.5, 20, 21))),
    ("upload", Shape()
        .fill(polygon([(12, 3), (17.5, 8.8), (13.2, 8.8), (13.2, 16), (10.8, 16), (10.8, 8.8),
                       (6.5, 8.8)]))
        .fill(rect(4, 18.5, 20, 21))),
    ("refresh", refresh()),
    ("plug", Shape()
        .fill(polygon([(6.5, 9), (17.5, 9), (17.5, 14), (14.5, 17), (13.2, 17), (13.2, 21.5),
                       (10.8, 21.5), (10.8, 17), (9.5, 17), (6.5, 14)]))
        .fill(rect(8.6, 3, 10.6, 9.2)).fill(rect(13.4, 3, 15.4, 9.2))),
    ("laptop", Shape().fill(rect(4, 4.5, 20, 16)).hole(rect(5.8, 6.3, 18.2, 14.2))
        .fill(polygon([(1.5, 17.2), (22.5, 17.2), (22.5, 18.6), (21.5, 19.6), (2.5, 19.6),
                       (1.5, 18.6)]))),
    ("lumetra_unit", Shape().fill(rect(5, 2.5, 19, 20.5))
        .hole(rect(6.6, 4, 17.4, 5.4))
        .hole(rect(6.8, 7, 12.8, 18.8))
        .hole(rect(14.3, 7, 17.5, 9.6))
        .hole(circle(15.9, 12.6, 1.1))
        .fill(rect(6, 20.3, 8.6, 22)).fill(rect(15.4, 20.3, 18, 22))),
    ("home", Shape().fill(polygon([(12, 2.5), (22.5, 12), (19.2, 12), (19.2, 21), (14.4, 21),
                                   (14.4, 15), (9.6, 15), (9.6, 21), (4.8, 21), (4.8, 12),
                                   (1.5, 12)]))),
    ("menu", Shape().fill(rect(3, 5.8, 21, 8.2)).fill(rect(3, 10.8, 21, 13.2))
        .fill(rect(3, 15.8, 21, 18.2))),
]

NOTDEF = Shape().fill(rect(4, 2, 20, 22)).hole(rect(5.6, 3.6, 18.4, 20.4))


# --- Font ---------------------------------------------------------------------------------------

def to_font_units(x, y):
    scale = UNITS_PER_EM / GRID
    return round(x * scale), round(ASCENT - y * scale)


def signed_area(points):
    area = 0
    for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
        area += x0 * y1 - x1 * y0
    return area / 2


def draw(shape):
    pen = TTGlyphPen(None)
    for contour, is_hole in shape.contours:
        points = [(to_font_units(x, y), on) for x, y, on in contour]
        # In font units y points up: a positive area is anticlockwise, which is right for holes.
        anticlockwise = signed_area([p for p, _ in points]) > 0
        if anticlockwise != is_hole:
            points.reverse()
        # Start on an on-curve point so the pen calls stay simple.
        first = next(i for i, (_, on) in enumerate(points) if on)
        points = points[first:] + points[:first]
        pen.moveTo(points[0][0])
        pending = []
        for point, on in points[1:]:
            if on:
                if pending:
                    pen.qCurveTo(*pending, point)
                    pending = []
                else:
                    pen.lineTo(point)
            else:
                pending.append(point)
        if pending:
            pen.qCurveTo(*pending, points[0][0])
        pen.closePath()
    return pen.glyph()


def build(path):
    glyph_order = [".notdef"] + [name for name, _ in ICONS]
    glyphs = {".notdef": draw(NOTDEF)}
    cmap = {}
    for index, (name, shape) in enumerate(ICONS):
        glyphs[name] = draw(shape)
        cmap[FIRST_CODE_POINT + index] = name

    builder = FontBuilder(UNITS_PER_EM, isTTF=True)
    builder.updateHead(created=FIXED_TIME, modified=FIXED_TIME, fontRevision=1.0)
    builder.setupGlyphOrder(glyph_order)
    builder.setupCharacterMap(cmap)
    builder.setupGlyf(glyphs)
    glyf = builder.font["glyf"]
    builder.setupHorizontalMetrics(
        {name: (UNITS_PER_EM, getattr(glyf[name], "xMin", 0)) for name in glyph_order})
    builder.setupHorizontalHeader(ascent=ASCENT, descent=DESCENT)
    builder.setupNameTable({
        "copyright": "Copyright (c) Zentorlab",
        "familyName": FAMILY,
        "styleName": "Regular",
        "uniqueFontIdentifier": "Zentorlab: " + FAMILY + " Regular: 1.000",
        "fullName": FAMILY + " Regular",
        "psName": FAMILY,
        "version": "Version 1.000",
        "manufacturer": "Zentorlab",
    })
    builder.setupOS2(sTypoAscender=ASCENT, sTypoDescender=DESCENT, sTypoLineGap=0,
                     usWinAscent=ASCENT, usWinDescent=-DESCENT, achVendID="ZNTL",
                     fsType=0, usWeightClass=400, fsSelection=0x40,
                     # GDI sorts fonts into character sets by these bits: claim Latin 1,
                     # the default one, as icon fonts commonly do.
                     ulCodePageRange1=1)
    builder.setupPost()
    builder.save(path)
    return len(glyph_order)


if __name__ == "__main__":
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "Fonts",
                                                             "zentorlab-font.ttf")
    count = build(out)
    print(f"{out}: {count} glyphs")
