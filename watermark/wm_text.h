// Drawing of the watermark text into a device context: rotated, once in the
// middle of a rectangle or tiled over it.
#pragma once

#include <windows.h>

struct JobWM;

// A font of deciPointHeight tenths of a point at the context's vertical
// resolution, rotated by escapement tenths of a degree. style bits: 1 bold,
// 2 italic, 4 underline, 8 strike-out. Null when the height comes out as 0.
// The caller deletes the font.
HFONT avCreateFont(HDC hdc, const WCHAR* faceName, unsigned deciPointHeight, unsigned style,
                   int escapement);

// Draws the record's text in black, clipped to drawRect. The context's font,
// text colour, background mode and alignment are as before afterwards.
void avDrawWatermarkText(HINSTANCE hInstance, HDC hdc, const RECT* drawRect, const JobWM* record,
                         int nFontSizeScale);
