#!/usr/bin/env python3
"""Builds the nine halftone threshold tables of the watermark and writes them
as C++ source (watermark/halftone_tables.cpp). Not run by the build: run it by
hand after changing a screen below and commit its output.

    python3 tools/halftone/make_tables.py > watermark/halftone_tables.cpp

Every table is a clustered-dot supercell. Black dots sit on a 45-degree lattice
(centres h apart along rows and columns, on the cells whose index sum is even),
white dots on the other cells, so a cluster repeats every 2h entries. The dot
growth order comes from a spot function, d_black / (d_black + d_white), nudged
per cluster so neighbouring clusters gain their pixels at slightly different
levels. Thresholds are then handed out by growth order so that the shares of
entries at or below the five density levels of the watermark, the range and the
mean are exactly what each screen is meant to give. The first eight entries of
rows 0 and 1 are the measured values of the original screens and are kept as
they are. The script checks every property before it prints anything.
"""
import math
import sys

LEVELS = (30, 54, 84, 114, 150)


class Screen:
    def __init__(self, type_, name, size, lo, hi, mean, shares, row0, row1,
                 h, centre, diagonal=False):
        self.type, self.name, self.size = type_, name, size
        self.lo, self.hi, self.mean, self.shares = lo, hi, mean, shares
        self.fixed_rows = (row0, row1)
        self.h, self.centre, self.diagonal = h, centre, diagonal


SCREENS = [
    Screen(1, "FINE_TAry_128", 128, 0, 254, 127.0, (12.0, 21.5, 33.3, 45.1, 59.3),
           (67, 51, 59, 114, 190, 206, 198, 143), (35, 3, 19, 98, 222, 254, 238, 159),
           4, (1.0, 1.0)),
    Screen(2, "LSU_106_K60", 64, 0, 255, 139.6, (16.5, 23.9, 32.5, 40.0, 50.2),
           (1, 8, 90, 248, 253, 249, 199, 14), (4, 36, 127, 233, 250, 240, 172, 46),
           4, (0.0, 0.0)),
    Screen(3, "Mollip2_212", 64, 0, 255, 112.1, (23.5, 34.1, 45.5, 56.9, 67.5),
           (7, 49, 254, 153, 13, 62, 245, 134), (23, 82, 216, 111, 32, 95, 190, 97),
           2, (0.3, 0.3)),
    Screen(4, "Kestrin_212", 64, 0, 255, 126.4, (25.9, 32.5, 38.8, 45.1, 53.7),
           (0, 52, 246, 201, 3, 75, 240, 186), (13, 111, 228, 158, 27, 133, 219, 137),
           2, (0.3, 0.3)),
    Screen(5, "Kestrin_106", 64, 1, 255, 127.0, (12.2, 21.6, 33.3, 45.1, 59.2),
           (6, 22, 86, 224, 248, 232, 168, 29), (14, 46, 110, 200, 240, 208, 144, 53),
           4, (0.0, 0.0)),
    # A rotated screen: 12 lattice steps per 64 entries, so a cluster comes
    # back about every 10.67 entries along a row, never on a whole entry.
    Screen(6, "Kestrin_1200_160", 64, 1, 255, 170.1, (12.2, 18.0, 23.5, 29.0, 35.7),
           (1, 7, 54, 239, 255, 255, 255, 253), (5, 21, 92, 238, 255, 255, 255, 251),
           64 / 12, (0.0, 0.0)),
    Screen(7, "KX5_A4_1200_106LPI", 64, 1, 255, 127.0, (12.2, 21.6, 33.3, 45.1, 59.2),
           (1, 2, 20, 52, 100, 200, 232, 246), (4, 10, 26, 60, 106, 188, 220, 242),
           8, (0.0, 0.0)),
    Screen(8, "A4_LSU_600_212LPI", 64, 0, 255, 141.1, (27.5, 31.4, 35.7, 40.0, 45.5),
           (0, 58, 255, 231, 0, 95, 251, 221), (5, 145, 245, 197, 18, 172, 239, 175),
           2, (0.3, 0.3)),
    Screen(0, "FINE_TAry_16", 16, 1, 254, 125.2, (21.1, 28.1, 36.7, 46.1, 57.8),
           (6, 82, 233, 254, 251, 226, 70, 5), (55, 121, 165, 218, 211, 152, 114, 49),
           4, (0.0, -0.5), diagonal=True),
]


def nearest(coord, h, centre, parity, size):
    """Distance from coord to the nearest lattice centre of the given parity,
    on the torus of the table (the table tiles the page)."""
    y, x = coord
    best = float("inf")
    n = int(round(size / h))
    for i in range(-1, n + 2):
        for j in range(-1, n + 2):
            if (i + j) % 2 != parity:
                continue
            cy, cx = centre[0] + i * h, centre[1] + j * h
            dy = (y - cy + size / 2) % size - size / 2
            dx = (x - cx + size / 2) % size - size / 2
            best = min(best, math.hypot(dy, dx))
    return best


def cluster_order(count):
    """A dispersed order of `count` clusters (bit-reversal), in [0, 1)."""
    bits = max(1, (count - 1).bit_length())
    rev = [int(format(i, "0%db" % bits)[::-1], 2) for i in range(count)]
    ranks = sorted(range(count), key=lambda i: rev[i])
    out = [0.0] * count
    for rank, i in enumerate(ranks):
        out[i] = rank / count
    return out


def growth_priority(s):
    """Spot function value per entry, slightly shifted per cluster."""
    size, h = s.size, s.h
    n = int(round(size / h))
    nudges = cluster_order(n * n)
    prio = {}
    for r in range(size):
        for c in range(size):
            db = nearest((r, c), h, s.centre, 0, size)
            dw = nearest((r, c), h, s.centre, 1, size)
            spot = db / (db + dw) if db + dw else 0.0
            ci = int(((r - s.centre[0]) / h + 0.5) // 1) % n
            cj = int(((c - s.centre[1]) / h + 0.5) // 1) % n
            prio[(r, c)] = spot + 0.04 * (nudges[ci * n + cj] - 0.5)
    return prio


def target_counts(s):
    """Counts at or below each level whose share rounds to the wanted one."""
    total = s.size * s.size
    step = 2 if s.diagonal else 1
    out = []
    for share in s.shares:
        fits = [k for k in range(0, total + 1, step)
                if round(1000 * k / total) == round(share * 10)]
        if not fits:
            sys.exit("%s: no count gives %.1f%%" % (s.name, share))
        out.append(min(fits, key=lambda k: abs(k - share * total / 100)))
    return out


def fixed_entries(s):
    fixed = {}
    for r, row in enumerate(s.fixed_rows):
        for c, v in enumerate(row):
            fixed[(r, c)] = v
            if s.diagonal:
                fixed[((r + 8) % 16, (c + 8) % 16)] = v
    return fixed


_ORDERS = {}


def free_positions(s, fixed):
    """Entries to fill, in growth order. A table with the diagonal repeat is
    filled in its upper half only; the lower half copies it."""
    if s.name not in _ORDERS:
        prio = growth_priority(s)
        rows = range(s.size // 2) if s.diagonal else range(s.size)
        cells = [(r, c) for r in rows for c in range(s.size) if (r, c) not in fixed]
        _ORDERS[s.name] = sorted(cells, key=lambda rc: (prio[rc], rc))
    return _ORDERS[s.name]


def segments(s, counts, fixed, weight):
    """Value range and number of free entries of each band between levels."""
    bounds = [s.lo] + [l + 1 for l in LEVELS] + [None]
    uppers = list(LEVELS) + [s.hi]
    done = 0
    out = []
    for i, (lo, hi) in enumerate(zip(bounds, uppers)):
        want = (counts[i] if i < len(counts) else s.size * s.size)
        have_fixed = sum(1 for v in fixed.values() if v <= hi)
        n = (want - have_fixed) // weight - done
        if n < 0:
            sys.exit("%s: fixed rows overfill the band up to %d" % (s.name, hi))
        out.append((lo, hi, n))
        done += n
    return out


def fill(s, gamma):
    fixed = fixed_entries(s)
    order = free_positions(s, fixed)
    weight = 2 if s.diagonal else 1
    bands = segments(s, target_counts(s), fixed, weight)
    if sum(n for _, _, n in bands) != len(order):
        sys.exit("%s: bands do not cover the table" % s.name)
    table = [[0] * s.size for _ in range(s.size)]
    for (r, c), v in fixed.items():
        table[r][c] = v
    pos = 0
    for band, (lo, hi, n) in enumerate(bands):
        for k in range(n):
            t = (k + 0.5) / n
            if band == 0:
                v = lo if k == 0 else lo + int(t ** gamma[0] * (hi - lo + 1))
            elif band == len(bands) - 1:
                v = hi if k == n - 1 else lo + int(t ** gamma[1] * (hi - lo + 1))
            else:
                v = lo + int(t * (hi - lo + 1))
            r, c = order[pos + k]
            table[r][c] = min(v, hi)
            if s.diagonal:
                table[(r + 8) % 16][(c + 8) % 16] = min(v, hi)
        pos += n
    return table


def mean_of(table):
    flat = [v for row in table for v in row]
    return sum(flat) / len(flat)


def solve(s):
    """Shapes the lowest and highest band so the mean comes out right."""
    best = None
    for g0 in (1.0, 0.7, 1.4, 0.5, 2.0):
        lo_g, hi_g = 0.05, 20.0
        for _ in range(60):
            mid = math.sqrt(lo_g * hi_g)
            m = mean_of(fill(s, (g0, mid)))
            if round(m, 1) == s.mean:
                return fill(s, (g0, mid))
            # A larger exponent pushes the top band down.
            if m > s.mean:
                lo_g = mid
            else:
                hi_g = mid
        best = s.name
    sys.exit("%s: mean %.1f not reachable" % (best, s.mean))


def check(s, t):
    flat = [v for row in t for v in row]
    total = len(flat)
    assert min(flat) == s.lo and max(flat) == s.hi, s.name
    assert round(sum(flat) / total, 1) == s.mean, s.name
    for level, share in zip(LEVELS, s.shares):
        got = sum(1 for v in flat if v <= level)
        assert round(1000 * got / total) == round(share * 10), (s.name, level, got)
    for r in range(2):
        assert tuple(t[r][:8]) == s.fixed_rows[r], s.name
    if s.diagonal:
        for r in range(16):
            for c in range(16):
                assert t[r][c] == t[(r + 8) % 16][(c + 8) % 16], s.name


def emit(screens, tables):
    print("// Generated by tools/halftone/make_tables.py; do not edit by hand.")
    print('#include "watermark/halftone_tables.h"')
    print()
    print("namespace {")
    print()
    for s, t in zip(screens, tables):
        print("const uint8_t k%s[%d * %d] = {" % (s.name, s.size, s.size))
        for row in t:
            for i in range(0, len(row), 16):
                print("    " + ", ".join("%d" % v for v in row[i:i + 16]) + ",")
        print("};")
        print()
    print("const HalftoneTable kTables[] = {")
    for s in screens:
        print('    {%du, u"%s", %d, k%s},' % (s.type, s.name, s.size, s.name))
    print("};")
    print()
    print("} // namespace")
    print()
    print("const HalftoneTable& WM_HalftoneTableFor(uint32_t halftoneType)")
    print("{")
    print("    for (const HalftoneTable& table : kTables) {")
    print("        if (table.type == halftoneType)")
    print("            return table;")
    print("    }")
    print("    // Every other type gets the fine 16 x 16 screen.")
    print("    return kTables[%d];" % [s.type for s in screens].index(0))
    print("}")


def main():
    tables = []
    for s in SCREENS:
        t = solve(s)
        check(s, t)
        tables.append(t)
    emit(SCREENS, tables)


if __name__ == "__main__":
    main()
