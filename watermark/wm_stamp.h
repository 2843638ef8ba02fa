// Tiled watermark copies laid from one drawing of the text.
#pragma once

#include <windows.h>

#include <functional>

#include "watermark/text_layout.h"

// Draws the tiled copies of text (units long, in the font, colour and
// alignment selected into hdc) over drawRect by drawing it once into a 1-bit
// stamp and ANDing that in at every copy's place, clipped to drawRect: the
// same pixels as a TextOut per copy. Copies whose origins the device rounds
// alike share a stamp drawn at an origin that rounds so; a copy that no
// stamp matches for sure is drawn by drawCopy (given its position relative
// to drawRect, as the tiling gives it). Returns false, having drawn nothing,
// when no stamp would pay or could be trusted (a context that is not a plain
// 1-bit one, a stamp larger than the picture, ink reaching the stamp's
// edge); the caller then draws each copy itself.
bool avStampTiles(HDC hdc, const RECT* drawRect, const WM_TextLayout& layout, const WCHAR* text, int units,
                  const std::function<void(int x, int y)>& drawCopy);
