// The drawing primitives of the fax cover page: a font whose height is
// corrected for the fax rows, one text at a position in 1/600 inch, one ruled
// line. faxDpi only reaches the trace lines.
#pragma once

#include <windows.h>

// Style bits of texts and fonts.
constexpr int kFaxItalic = 0x2;
constexpr int kFaxUnderline = 0x4;
constexpr int kFaxStrikeOut = 0x8;

// A font of height tenths of a point for hdc; the caller selects and deletes
// it. Null when the size works out to no pixels. hdc is left as it was.
HFONT FaxCreateFont(HDC hdc, const WCHAR* faceName, int height, int width, int style, int escapement,
                    int useLogPixels, int faxDpi);

// Draws text in Arial of fontSize points at (x, y) in 1/600 inch, clipped to clip.
void TextOutForCoverPage(HDC hdc, const RECT* clip, int fontSize, const WCHAR* text, int x, int y, int style,
                         int faxDpi);

// Draws a black line of width pixels from (x1, y1) to (x2, y2); y counts pairs of rows.
void FaxLineTo(HDC hdc, int faxDpi, int x1, int y1, int x2, int y2, int width);
