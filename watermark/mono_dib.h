// The 1-bit pictures of the watermark job as DIB sections: bottom-up rows
// padded to 32 bits, colour 0 black and colour 1 white, the layout of the
// BMP file's rows. GDI draws straight into them and the job reads and
// writes their rows in place.
#pragma once

#include <windows.h>

// The longest side a bitmap may have. A DIB section would be made wider,
// but no page is, and the job has never written one.
constexpr int WM_MAX_BITMAP_SIDE = 0x7FFFFFF;

// A picture of width x height, all black until it is filled (the memory
// comes zeroed); its rows start at *bits, bottom row first. Null when it
// cannot be had or a side is longer than WM_MAX_BITMAP_SIDE. The caller
// deletes it.
HBITMAP WM_CreateMonoDIB(HDC hdc, int width, int height, int dpi, void** bits);
