// Arithmetic of the fax page. The page bitmap is treated as 204 dots per inch
// across and 196 rows per inch down, so positions and font heights are
// converted separately in each direction.
#pragma once

struct FaxPoint {
    int x;
    int y;
};

// A text position in 1/600 inch becomes a pixel position: multiply first,
// then divide, truncating toward zero.
FaxPoint FAX_PosToPixel(int x, int y);

// Line y values count pairs of pixel rows.
int FAX_LineRow(int y);

// Pixels per inch from a device size in pixels and millimetres, with 25.4
// held in single precision (1920 px over 508 mm gives 95, not 96). 0 when the
// size is not positive or the result does not fit.
int FAX_ResolutionFromSize(int pixels, int millimetres);

// Tenths of a point at dpi: ten times the size in pixels, truncated.
int FAX_TenthsToPoint(int dpi, int tenths);

// Pixel height of the first font from the point value of FAX_TenthsToPoint.
int FAX_FirstFontHeight(int pointY);

// The first font's height squeezed into the fax rows (196 down per 204 across).
int FAX_FinalFontHeight(int firstHeight);
