#!/usr/bin/env python3
"""Draws the pictures of the status dialog and writes them as BMP files.

    tools/make_bitmaps.py [--out DIR]

Writes into resources/bitmaps/ (or DIR):
  logo.bmp          80 x 20, 8 bpp            the dialog's logo
  upper.bmp         170 x 170, 8 bpp          the printer from the front, covers open
  upper_mask.bmp    170 x 170, 24 bpp         its mask
  lower.bmp         170 x 170, 8 bpp          the printer from the rear, manual tray open
  lower_mask.bmp    170 x 170, 24 bpp         its mask, shared with lower_duplex.bmp
  lower_duplex.bmp  170 x 170, 8 bpp          the rear view with the duplex unit fitted
and each of them again for displays scaled to 125, 150, 175 and 200 %
(logo_125.bmp, 213 x 213 upper_125.bmp, ...), whose masks are 1 bpp: black
and white are all a mask holds, and at 24 bpp the four sets would add 2 MB
to the program. A larger set is drawn anew at
its size, not enlarged from the small one: every shape is given in the
pixels of the 100 % picture and filled wherever a pixel's centre, scaled back,
falls inside it; outlines and lines grow to 2 pixels from 150 % on. Sizes
scale as (v * percent + 50) // 100, the rounding the dialog uses.

The dialog blits a picture by ANDing the mask over the background and XORing
the image on top, so transparent pixels are white in the mask and black in the
image, opaque pixels black in the mask. The two lower images share one mask,
so they are drawn with the same outline: the duplex unit fills a bay that the
plain view closes with a blank plate.

Every pixel is also labelled with the part of the printer it belongs to. After
drawing, each dot of the status item table is checked against those labels:
the four pixels at the centre of its 8 x 8 dot must lie on the part its error
names, and the whole dot on the opaque picture; at every scale, with the dot
placed and sized as the dialog scales it. The run prints one line per record
and scale, and fails if any dot is off its part.

Standard library only; run by hand after changing the drawing, and commit the
BMP files it writes.
"""

import argparse
import os
import struct
import sys

SIZE = 170
SCALES = (100, 125, 150, 175, 200)  # percent of the 96-DPI size


def scaled(value, percent):
    """A 100 % length at the given scale, rounded half up as the dialog does."""
    return (value * percent + 50) // 100

# Palette: index 0 is the transparent black the XOR blit needs; nothing opaque
# uses it.
PALETTE = [
    (0, 0, 0),        # transparent
    (52, 56, 64),     # outline
    (233, 235, 238),  # body
    (252, 252, 252),  # white, paper
    (208, 211, 216),  # light grey panels
    (182, 186, 192),  # shade
    (120, 126, 134),  # inside of the machine
    (86, 91, 99),     # rollers, slots
    (70, 130, 200),   # accent blue: display, the logo
    (236, 142, 48),   # accent orange: release levers, handles
    (72, 168, 92),    # accent green: power lamp
    (64, 68, 76),     # toner cartridge body
    (240, 240, 240),  # logo background
]
CLEAR, INK, BODY, WHITE, LIGHT, SHADE, INSIDE, DARK, BLUE, ORANGE, GREEN, TONER, LOGO_BG = range(len(PALETTE))


# --- shapes: predicates on pixel centres, in 100 % pixels ----------------------

def rect(x0, y0, x1, y1):
    """Pixels x0..x1-1, y0..y1-1."""
    return (x0, y0, x1, y1), lambda cx, cy: x0 <= cx < x1 and y0 <= cy < y1


def poly(*pts):
    """A polygon with corners on pixel corners; a pixel is in when its centre is."""
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]

    def inside(cx, cy):
        hit = False
        for (ax, ay), (bx, by) in zip(pts, pts[1:] + pts[:1]):
            if (ay > cy) != (by > cy) and cx < ax + (cy - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit

    return (min(xs), min(ys), max(xs), max(ys)), inside


def ellipse(cx, cy, rx, ry):
    def inside(x, y):
        dx = (x - cx) / rx
        dy = (y - cy) / ry
        return dx * dx + dy * dy <= 1.0

    return (cx - rx, cy - ry, cx + rx, cy + ry), inside


class Canvas:
    """Palette indices plus, for each pixel, the name of the part drawn there.
    Drawing calls take 100 % pixels; the canvas draws them at its percent."""

    def __init__(self, width, height, fill=CLEAR, percent=100):
        self.scale = percent / 100
        self.pen = max(1, (percent + 50) // 100)  # width of outlines and lines
        self.percent = percent
        self.width = scaled(width, percent)
        self.height = scaled(height, percent)
        self.pix = [[fill] * self.width for _ in range(self.height)]
        self.part = [[None] * self.width for _ in range(self.height)]

    def _in(self, inside, px, py):
        return inside((px + 0.5) / self.scale, (py + 0.5) / self.scale)

    def _cells(self, shape):
        (x0, y0, x1, y1), inside = shape
        s = self.scale
        for py in range(max(0, int(y0 * s) - 1), min(self.height, int(y1 * s) + 2)):
            for px in range(max(0, int(x0 * s) - 1), min(self.width, int(x1 * s) + 2)):
                if self._in(inside, px, py):
                    yield px, py

    def _stamp(self, px, py, colour):
        """A pen-sized block with its top-left corner at (px, py)."""
        for y in range(py, min(self.height, py + self.pen)):
            for x in range(px, min(self.width, px + self.pen)):
                if x >= 0 and y >= 0:
                    self.pix[y][x] = colour

    def fill(self, shape, colour, part=None):
        for px, py in self._cells(shape):
            self.pix[py][px] = colour
            if part:
                self.part[py][px] = part

    def outline(self, shape, colour=INK):
        """The shape's own border pixels: inside, with a pixel outside within
        the pen's width straight across or down."""
        inside = shape[1]
        steps = [(dx * k, dy * k) for k in range(1, self.pen + 1) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))]
        for px, py in list(self._cells(shape)):
            if not all(self._in(inside, px + dx, py + dy) for dx, dy in steps):
                self.pix[py][px] = colour

    def shape(self, shape, colour, part=None, edge=INK):
        self.fill(shape, colour, part)
        if edge is not None:
            self.outline(shape, edge)

    def line(self, x0, y0, x1, y1, colour=INK):
        x0, y0, x1, y1 = (scaled(v, self.percent) for v in (x0, y0, x1, y1))
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self._stamp(x0, y0, colour)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def polyline(self, pts, colour=INK):
        for (ax, ay), (bx, by) in zip(pts, pts[1:]):
            self.line(ax, ay, bx, by, colour)

    def dots(self, pts, colour):
        for px, py in pts:
            self._stamp(scaled(px, self.percent), scaled(py, self.percent), colour)


# --- the drawings --------------------------------------------------------------

def side(x, y0, y1, dx, dy):
    """The receding side face to the right of a front face edge at x."""
    return poly((x, y0), (x + dx, y0 + dy), (x + dx, y1 + dy), (x, y1))


def roller(c, cx, cy, r):
    c.shape(ellipse(cx, cy, r, r), DARK, edge=INK)
    c.fill(ellipse(cx, cy, 1, 1), LIGHT)


def draw_upper(percent):
    """The printer from the front: front cover folded down onto the cassette,
    showing the toner cartridge, the manual feed unit and the paper path, with
    the rear door open at the back of the opening."""
    c = Canvas(SIZE, SIZE, percent=percent)
    dx, dy = 14, -9

    # Right-hand faces first; the front faces overlap their edges.
    c.shape(poly((34, 12), (48, 3), (152, 3), (138, 12)), LIGHT, "scanner lid")
    c.shape(side(138, 12, 20, dx, dy), SHADE, "scanner lid")
    c.shape(side(136, 20, 36, dx, dy), SHADE, "scanner")
    c.shape(side(136, 36, 112, dx, dy), SHADE, "body")
    c.shape(side(136, 112, 134, dx, dy), SHADE, "paper cassette")
    c.shape(side(136, 134, 157, dx, dy), SHADE, "tray 2")

    # Flatbed scanner with its lid and the control panel.
    c.shape(rect(34, 12, 138, 20), BODY, "scanner lid")
    c.line(40, 16, 60, 16, SHADE)
    c.shape(rect(36, 20, 136, 36), BODY, "scanner")
    c.shape(poly((88, 23), (134, 23), (134, 35), (86, 35)), LIGHT, "control panel")
    c.shape(rect(92, 25, 110, 33), BLUE, "control panel")
    c.line(94, 27, 104, 27, WHITE)
    c.line(94, 30, 100, 30, WHITE)
    for bx in (114, 119, 124):
        c.shape(rect(bx, 27, bx + 3, 30), SHADE, "control panel")
    c.shape(rect(129, 27, 132, 30), GREEN, "control panel")
    c.shape(rect(114, 31, 127, 33), SHADE, "control panel")

    # Engine front with the output bay under the scanner.
    c.shape(rect(36, 36, 136, 112), BODY, "body")
    c.shape(rect(44, 38, 128, 54), INSIDE, "output tray")
    c.fill(rect(46, 40, 126, 42), DARK)
    c.shape(poly((54, 46), (112, 46), (120, 53), (48, 53)), WHITE, "output tray")
    c.line(70, 49, 96, 49, LIGHT)

    # The opening behind the front cover.
    c.shape(rect(46, 55, 130, 101), INSIDE, "paper path")

    # Rear door, open: daylight through the back of the machine, the door
    # itself folded down outwards at the foot of the opening.
    c.shape(rect(52, 56, 124, 68), WHITE, "rear cover")
    c.shape(poly((56, 68), (120, 68), (114, 60), (62, 60)), LIGHT, "rear cover")
    c.line(66, 64, 110, 64, SHADE)
    c.fill(rect(84, 61, 92, 63), ORANGE)

    # Paper path: registration and transfer rollers and the sheet's way up.
    roller(c, 56, 76, 5)
    roller(c, 70, 88, 6)
    roller(c, 86, 93, 4)
    c.polyline([(50, 97), (60, 84), (76, 74), (95, 70)], WHITE)
    c.polyline([(62, 98), (78, 90), (100, 86)], WHITE)

    # Manual feed unit: a small tray with a sheet and its side guides.
    c.shape(rect(97, 68, 130, 82), LIGHT, "manual tray")
    c.shape(poly((101, 71), (126, 71), (124, 79), (103, 79)), WHITE, "manual tray")
    c.fill(rect(99, 70, 101, 80), ORANGE)
    c.fill(rect(126, 70, 128, 80), ORANGE)

    # Toner cartridge with its handle.
    c.shape(rect(104, 83, 130, 100), TONER, "toner cartridge")
    c.fill(rect(107, 86, 127, 88), DARK)
    c.shape(rect(110, 95, 124, 98), ORANGE, "toner cartridge")
    c.fill(rect(107, 90, 127, 93), SHADE)

    # Front cover, hinged at the bottom and folded down towards the viewer.
    cover = poly((46, 101), (130, 101), (138, 112), (38, 112))
    c.shape(cover, LIGHT, "front cover")
    c.line(50, 106, 126, 106, SHADE)
    c.fill(rect(82, 108, 98, 110), ORANGE)

    # Main paper cassette and the optional second tray.
    c.shape(rect(36, 112, 136, 134), BODY, "paper cassette")
    c.shape(rect(76, 122, 106, 128), LIGHT, "paper cassette")
    c.line(78, 125, 104, 125, DARK)
    c.shape(rect(120, 117, 126, 130), WHITE, "paper cassette")
    c.fill(rect(121, 123, 125, 129), BLUE)
    c.shape(rect(36, 134, 136, 157), BODY, "tray 2")
    c.shape(rect(76, 146, 106, 152), LIGHT, "tray 2")
    c.line(78, 149, 104, 149, DARK)
    c.shape(rect(40, 157, 52, 161), DARK, "tray 2")
    c.shape(rect(120, 157, 132, 161), DARK, "tray 2")
    return c


def draw_lower(duplex, percent):
    """The printer from the rear and its left side, the manual tray open at the
    front end. The rear door swings open on its left hinge and shows the paper
    path; below it sits the duplex bay, with the duplex unit or a blank plate."""
    c = Canvas(SIZE, SIZE, percent=percent)
    dx, dy = 28, -8

    # Left-side faces, seen to the right of the rear face.
    c.shape(poly((18, 10), (46, 2), (150, 2), (122, 10)), LIGHT, "scanner lid")
    c.shape(side(122, 10, 18, dx, dy), SHADE, "scanner lid")
    c.shape(side(120, 18, 32, dx, dy), SHADE, "scanner")
    c.shape(side(120, 32, 108, dx, dy), SHADE, "body")
    c.shape(poly((138, 30), (148, 27), (148, 40), (138, 43)), INSIDE, "output tray")
    c.shape(side(120, 108, 146, dx, dy), SHADE, "paper cassette")
    c.shape(side(120, 146, 166, dx, dy), SHADE, "tray 2")

    # Manual tray folded out of the front, with a sheet on it.
    c.shape(poly((146, 74), (168, 70), (168, 76), (146, 82)), LIGHT, "manual tray")
    c.shape(poly((150, 72), (166, 69), (166, 72), (150, 75)), WHITE, "manual tray")

    # Scanner lid with its hinges, scanner body.
    c.shape(rect(18, 10, 122, 18), BODY, "scanner lid")
    c.shape(rect(34, 8, 44, 14), DARK, "scanner lid")
    c.shape(rect(96, 8, 106, 14), DARK, "scanner lid")
    c.shape(rect(20, 18, 120, 32), BODY, "scanner")

    # Engine rear face, vents and the power inlet.
    c.shape(rect(20, 32, 120, 108), BODY, "body")
    for vy in range(38, 50, 3):
        c.line(26, vy, 60, vy, SHADE)
    c.shape(rect(28, 60, 40, 70), DARK, "body")
    c.fill(rect(31, 63, 37, 67), INK)

    # Paper path behind the rear door: fuser and exit rollers, the sheet's way.
    c.shape(rect(66, 55, 114, 108), INSIDE, "paper path")
    c.shape(rect(88, 60, 110, 72), DARK, "paper path")
    c.fill(rect(90, 62, 108, 64), ORANGE)
    roller(c, 96, 86, 6)
    roller(c, 104, 100, 4)
    c.polyline([(82, 106), (84, 90), (88, 76), (98, 58)], WHITE)
    c.polyline([(92, 106), (92, 96), (100, 80)], WHITE)

    # Duplex bay under the door, and the rest of the cassette level.
    c.shape(rect(20, 108, 120, 146), BODY, "paper cassette")
    c.shape(rect(86, 114, 116, 140), LIGHT, "paper cassette")
    c.line(90, 127, 112, 127, DARK)
    if duplex:
        # The duplex unit: a return channel up the rear opening, its cover
        # against the door hinge, and the reversing section in the bay.
        c.shape(rect(67, 56, 79, 108), LIGHT, "duplex rear cover")
        c.line(73, 60, 73, 104, SHADE)
        c.fill(rect(70, 78, 72, 90), ORANGE)
        c.shape(rect(20, 108, 80, 146), LIGHT, "duplex unit")
        c.shape(rect(24, 112, 76, 142), BODY, "duplex unit")
        for vy in range(116, 140, 4):
            c.line(28, vy, 48, vy, SHADE)
        c.shape(rect(54, 122, 72, 130), ORANGE, "duplex unit")
    else:
        c.shape(rect(20, 108, 80, 146), BODY, "duplex bay cover")
        c.shape(rect(24, 112, 76, 142), LIGHT, "duplex bay cover")
        c.fill(rect(44, 125, 56, 129), SHADE)

    # Rear door, swung open towards the viewer on its left hinge.
    door = poly((66, 55), (66, 108), (43, 113), (43, 50))
    c.shape(door, LIGHT, "rear cover")
    c.line(50, 60, 50, 104, SHADE)
    c.fill(rect(58, 78, 62, 90), ORANGE)

    # Second tray and feet.
    c.shape(rect(20, 146, 120, 166), BODY, "tray 2")
    c.shape(rect(54, 152, 86, 158), LIGHT, "tray 2")
    c.shape(rect(24, 166, 36, 170), DARK, "tray 2")
    c.shape(rect(104, 166, 116, 170), DARK, "tray 2")
    return c


LETTERS = {
    "M": ["#...#", "##.##", "#.#.#", "#...#", "#...#", "#...#", "#...#"],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "S": ["###", "#..", "###", "..#", "###"],
    "T": ["###", ".#.", ".#.", ".#.", ".#."],
    "A": ["###", "#.#", "###", "#.#", "#.#"],
    "U": ["#.#", "#.#", "#.#", "#.#", "###"],
}


def draw_text(c, text, x, y, scale, colour):
    for ch in text:
        rows = LETTERS[ch]
        for ry, row in enumerate(rows):
            for rx, cell in enumerate(row):
                if cell == "#":
                    c.fill(rect(x + rx * scale, y + ry * scale,
                                x + (rx + 1) * scale, y + (ry + 1) * scale), colour)
        x += (len(rows[0]) + 1) * scale + (1 if scale > 1 else 0)


def draw_logo(percent):
    """'MFP' in a blocky pixel face, 'STATUS' small beside it, a thin rule below."""
    c = Canvas(80, 20, LOGO_BG, percent)
    draw_text(c, "MFP", 3, 2, 2, INK)
    draw_text(c, "STATUS", 48, 9, 1, BLUE)
    c.line(3, 18, 76, 18, BLUE)
    return c


# --- where the dots of the status item table land --------------------------------

# (code, dotX, dotY, kind, part the dot must sit on) for every record with a
# dot. Kinds 0 and 2 are on the upper picture, kind 3 on the lower one, kind 1
# on the lower one with the duplex unit.
DOTS = [
    (2, 115, 118, 0, "paper cassette"),
    (4, 115, 118, 0, "paper cassette"),
    (5, 92, 101, 0, "front cover"),
    (6, 119, 90, 0, "toner cartridge"),
    (80, 94, 83, 0, "paper path"),
    (135, 119, 88, 0, "toner cartridge"),
    (136, 119, 88, 0, "toner cartridge"),
    (257, 28, 113, 1, "duplex unit"),
    (260, 92, 70, 0, "paper path"),
    (261, 94, 41, 0, "output tray"),
    (262, 36, 132, 1, "duplex unit"),
    (263, 76, 78, 1, "paper path"),
    (264, 76, 100, 1, "paper path"),
    (265, 94, 58, 0, "rear cover"),
    (265, 58, 88, 3, "rear cover"),
    (266, 74, 80, 1, "duplex rear cover"),
    (267, 94, 71, 0, "manual tray"),
    (268, 91, 115, 0, "paper cassette"),
    (269, 94, 71, 0, "manual tray"),
    (270, 91, 115, 0, "paper cassette"),
    (278, 91, 137, 2, "tray 2"),
    (279, 91, 141, 2, "tray 2"),
    (280, 91, 115, 0, "paper cassette"),
    (281, 91, 137, 2, "tray 2"),
]


def check_dots(upper, lower, duplex):
    """Prints where each dot lands; returns the number of dots off their part."""
    pictures = {0: ("upper", upper), 2: ("upper", upper), 3: ("lower", lower), 1: ("lower_duplex", duplex)}
    percent = upper.percent
    size = scaled(8, percent)
    faults = 0
    for code, x0, y0, kind, want in DOTS:
        name, pic = pictures[kind]
        x, y = scaled(x0, percent), scaled(y0, percent)
        # The dot covers x..x+size-1; its centre is the corner shared by these four.
        middle = (x + size // 2 - 1, x + size // 2), (y + size // 2 - 1, y + size // 2)
        centre = {pic.part[py][px] for px in middle[0] for py in middle[1]}
        covered = all(pic.pix[py][px] != CLEAR for px in range(x, x + size) for py in range(y, y + size))
        ok = centre == {want} and covered
        got = ", ".join(sorted(str(p) for p in centre))
        print(f"{percent:3d}% {code:5d} kind {kind} at ({x:3d},{y:3d}) {name:12s} {got:20s} "
              f"{'ok' if ok else 'WRONG, want ' + want}")
        faults += not ok
    if any((a == CLEAR) != (b == CLEAR) for ra, rb in zip(lower.pix, duplex.pix) for a, b in zip(ra, rb)):
        print("lower.bmp and lower_duplex.bmp differ in outline but share one mask")
        faults += 1
    return faults


# --- BMP files -----------------------------------------------------------------

def bmp_headers(width, height, bits, row_bytes, colours):
    image_size = row_bytes * height
    offset = 14 + 40 + 4 * colours
    file_header = struct.pack("<2sIHHI", b"BM", offset + image_size, 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 2835, 2835, colours, 0)
    return file_header + info


def write_bmp8(path, canvas):
    row_bytes = (canvas.width + 3) & ~3
    data = bytearray(bmp_headers(canvas.width, canvas.height, 8, row_bytes, len(PALETTE)))
    for r, g, b in PALETTE:
        data += bytes((b, g, r, 0))
    for row in reversed(canvas.pix):  # bottom-up
        data += bytes(row) + bytes(row_bytes - canvas.width)
    with open(path, "wb") as f:
        f.write(data)


def write_mask(path, canvas):
    row_bytes = (canvas.width * 3 + 3) & ~3
    data = bytearray(bmp_headers(canvas.width, canvas.height, 24, row_bytes, 0))
    for row in reversed(canvas.pix):
        line = bytearray()
        for index in row:
            line += b"\xff\xff\xff" if index == CLEAR else b"\x00\x00\x00"
        data += line + bytes(row_bytes - len(line))
    with open(path, "wb") as f:
        f.write(data)


def write_mask1(path, canvas):
    """The mask at 1 bpp: palette black, white; a set bit is transparent."""
    row_bytes = ((canvas.width + 31) // 32) * 4
    data = bytearray(bmp_headers(canvas.width, canvas.height, 1, row_bytes, 2))
    data += bytes((0, 0, 0, 0, 255, 255, 255, 0))
    for row in reversed(canvas.pix):
        line = bytearray(row_bytes)
        for x, index in enumerate(row):
            if index == CLEAR:
                line[x // 8] |= 0x80 >> (x % 8)
        data += line
    with open(path, "wb") as f:
        f.write(data)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description="Draws the status dialog pictures.")
    parser.add_argument("--out", default=os.path.join(root, "resources", "bitmaps"))
    args = parser.parse_args()

    sets = {}
    faults = 0
    for percent in SCALES:
        upper = draw_upper(percent)
        lower = draw_lower(False, percent)
        duplex = draw_lower(True, percent)
        faults += check_dots(upper, lower, duplex)
        sets[percent] = (draw_logo(percent), upper, lower, duplex)
    if faults:
        print(f"{faults} dot(s) off their part; nothing written", file=sys.stderr)
        return 1

    os.makedirs(args.out, exist_ok=True)
    for percent, (logo, upper, lower, duplex) in sets.items():
        suffix = "" if percent == 100 else f"_{percent}"
        path = lambda name: os.path.join(args.out, f"{name}{suffix}.bmp")
        write_bmp8(path("logo"), logo)
        write_bmp8(path("upper"), upper)
        mask = write_mask if percent == 100 else write_mask1
        mask(path("upper_mask"), upper)
        write_bmp8(path("lower"), lower)
        mask(path("lower_mask"), lower)
        write_bmp8(path("lower_duplex"), duplex)
    print(f"written to {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
