// The stamp of a tiled watermark: every copy of the text is the same pixels
// at an integer offset, so the text is drawn once into a small 1-bit picture
// and laid onto the page at each copy's place. This is where the text goes
// in that picture and which part of it holds ink.
#pragma once

#include <cstddef>
#include <cstdint>

#include "watermark/text_layout.h"

// Size of the stamp and where the text's reference point (its top-left
// corner before rotation, the point TextOut is given) lies in it: the
// rotated text cell with a margin of a cell height on every side, for glyphs
// that reach past their cell.
struct WM_StampBox {
    int width;
    int height;
    int originX;
    int originY;
};

WM_StampBox WM_StampBoxFor(const WM_TextLayout& layout);

// The smallest rectangle holding every black (0) pixel of a 1-bit picture
// whose row r starts at rows + r x stride (top row first; stride may be
// negative for a bottom-up picture). Empty when right <= left.
struct WM_InkBox {
    int left;
    int top;
    int right;   // exclusive
    int bottom;  // exclusive
    bool Empty() const { return right <= left; }
};

WM_InkBox WM_InkBounds(const uint8_t* rows, ptrdiff_t stride, int width, int height);

// Text drawn top-aligned is placed by adding the ascent, rotated, to the
// integer origin in double precision and truncating toward zero. So the
// text lands a pixel apart at origins of different sign, and where the
// offset lies within a rounding residue of a whole number (a right angle's
// cosine of about 1e-16, or an ascent x sin 30 of 133.99999999999997) the
// residue is kept or lost with the power of two of the origin: two origins
// an integer apart need not give the same pixels. These are the two parts
// of that offset (ascent x sin, ascent x cos) for an escapement in tenths
// of a degree, each with the slack within which the device's own sine and
// cosine may differ from ours (none at 0, where no angle is computed).
struct WM_TopOffset {
    double x;
    double y;
    double slackX;
    double slackY;
};

WM_TopOffset WM_TopOffsetFor(int ascent, int escapement);

// The whole pixels the device adds to origin p for an offset part. False
// when an offset anywhere within the slack could round otherwise: such a
// copy is drawn by itself.
bool WM_OriginShift(int p, double offset, double slack, int* shift);
