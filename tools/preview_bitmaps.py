#!/usr/bin/env python3
"""Shows the status dialog pictures as the dialog draws them.

    tools/preview_bitmaps.py [--bitmaps DIR] [--out DIR] [--scale N]

Reads the BMP files from resources/bitmaps/ (or DIR), composes each picture
the way the dialog does (mask ANDed over a grey background, image XORed on
top) and writes PNG files, enlarged N times (3 by default), into out/pictures/:
each picture plain, and each printer picture again with the blue dots of the
status items that sit on it, labelled with their error codes. Needs
ImageMagick's convert for the PNG step.
"""

import argparse
import os
import struct
import subprocess
import sys
import tempfile

BACKGROUND = (212, 208, 200)
DOT = (0, 0, 255)
LABEL = (160, 0, 0)

# (code, dotX, dotY, kind) of the status items that have a dot.
ITEMS = [
    (2, 115, 118, 0), (4, 115, 118, 0), (5, 92, 101, 0), (6, 119, 90, 0),
    (80, 94, 83, 0), (135, 119, 88, 0), (136, 119, 88, 0), (257, 28, 113, 1),
    (260, 92, 70, 0), (261, 94, 41, 0), (262, 36, 132, 1), (263, 76, 78, 1),
    (264, 76, 100, 1), (265, 94, 58, 0), (265, 58, 88, 3), (266, 74, 80, 1),
    (267, 94, 71, 0), (268, 91, 115, 0), (269, 94, 71, 0), (270, 91, 115, 0),
    (278, 91, 137, 2), (279, 91, 141, 2), (280, 91, 115, 0), (281, 91, 137, 2),
]

DIGITS = {
    "0": "###,#.#,#.#,#.#,###", "1": ".#.,##.,.#.,.#.,###", "2": "###,..#,###,#..,###",
    "3": "###,..#,###,..#,###", "4": "#.#,#.#,###,..#,..#", "5": "###,#..,###,..#,###",
    "6": "###,#..,###,#.#,###", "7": "###,..#,..#,..#,..#", "8": "###,#.#,###,#.#,###",
    "9": "###,#.#,###,..#,###", "/": "..#,..#,.#.,#..,#..",
}


def read_bmp(path):
    """Returns (width, height, rows of (r, g, b)) top-down, for 8 and 24 bpp."""
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    used = struct.unpack_from("<I", data, 46)[0]
    palette = []
    if bits == 8:
        for i in range(used or 256):
            b, g, r, _ = data[54 + 4 * i:58 + 4 * i]
            palette.append((r, g, b))
    row_bytes = (width * bits // 8 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        start = offset + y * row_bytes
        if bits == 8:
            rows.append([palette[i] for i in data[start:start + width]])
        else:
            rows.append([(data[start + 3 * x + 2], data[start + 3 * x + 1], data[start + 3 * x])
                         for x in range(width)])
    if height > 0:
        rows.reverse()
    return width, abs(height), rows


def compose(image, mask):
    """Background AND mask, then XOR image, as the dialog's blit does."""
    return [[tuple((bg & m) ^ i for bg, m, i in zip(BACKGROUND, mp, ip)) for mp, ip in zip(mrow, irow)]
            for mrow, irow in zip(mask, image)]


def enlarge(rows, n):
    return [[p for p in row for _ in range(n)] for row in rows for _ in range(n)]


def put(rows, x, y, colour):
    if 0 <= y < len(rows) and 0 <= x < len(rows[0]):
        rows[y][x] = colour


def draw_items(rows, items, n):
    """Blue dots where the dialog puts them, each group of codes labelled."""
    spots = {}
    for code, x, y, _ in items:
        spots.setdefault((x, y), []).append(str(code))
    for (x, y) in spots:
        for py in range(8 * n):
            for px in range(8 * n):
                if (px - 4 * n + 0.5) ** 2 + (py - 4 * n + 0.5) ** 2 <= (4 * n) ** 2:
                    put(rows, x * n + px, y * n + py, DOT)
    taken = []
    for (x, y), codes in sorted(spots.items(), key=lambda s: (s[0][1], s[0][0])):
        text = "/".join(codes)
        w, h = len(text) * 8, 10
        lx, ly = (x + 8) * n + 2, y * n + 2
        while any(lx < tx + tw and tx < lx + w and ly < ty + th and ty < ly + h for tx, ty, tw, th in taken):
            ly += h + 2
        taken.append((lx, ly, w, h))
        for i, ch in enumerate(text):
            for ry, line in enumerate(DIGITS[ch].split(",")):
                for rx, cell in enumerate(line):
                    if cell == "#":
                        for sy in range(2):
                            for sx in range(2):
                                put(rows, lx + i * 8 + rx * 2 + sx, ly + ry * 2 + sy, LABEL)


def write_png(rows, path):
    with tempfile.NamedTemporaryFile(suffix=".ppm", delete=False) as f:
        f.write(b"P6 %d %d 255\n" % (len(rows[0]), len(rows)))
        f.write(bytes(c for row in rows for p in row for c in p))
        ppm = f.name
    try:
        subprocess.run(["convert", ppm, path], check=True)
    finally:
        os.unlink(ppm)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description="Renders the status dialog pictures to PNG.")
    parser.add_argument("--bitmaps", default=os.path.join(root, "resources", "bitmaps"))
    parser.add_argument("--out", default=os.path.join(root, "out", "pictures"))
    parser.add_argument("--scale", type=int, default=3)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)

    def load(name):
        return read_bmp(os.path.join(args.bitmaps, name))[2]

    logo = load("logo.bmp")
    write_png(enlarge(logo, args.scale), os.path.join(args.out, "logo.png"))
    views = [
        ("upper", "upper.bmp", "upper_mask.bmp", (0, 2)),
        ("lower", "lower.bmp", "lower_mask.bmp", (3,)),
        ("lower_duplex", "lower_duplex.bmp", "lower_mask.bmp", (1, 3)),
    ]
    for name, image, mask, kinds in views:
        rows = enlarge(compose(load(image), load(mask)), args.scale)
        write_png(rows, os.path.join(args.out, name + ".png"))
        draw_items(rows, [item for item in ITEMS if item[3] in kinds], args.scale)
        write_png(rows, os.path.join(args.out, name + "_dots.png"))
    print(f"written to {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
