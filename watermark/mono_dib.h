// The 1-bit pictures of the watermark job as DIB sections: bottom-up rows
// padded to 32 bits, colour 0 black and colour 1 white, the layout of the
// BMP file's rows. GDI draws straight into them and the job reads and
// writes their rows in place.
#pragma once

#include <windows.h>

// A picture of width x height, all black until it is filled (the memory
// comes zeroed); its rows start at *bits, bottom row first. Null when it
// cannot be had. The caller deletes it.
HBITMAP WM_CreateMonoDIB(HDC hdc, int width, int height, int dpi, void** bits);
