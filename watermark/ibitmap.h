// The bitmap object of the watermark job: renders the watermark (or a fax
// page) into a 1-bit picture, halftones it and writes it as a BMP file.
// Results: 1 success; -1 a picture too large, -5 file not written, -6 no
// white fill, -7 bad arguments, -9 no memory context, -10 no bitmap (the
// picture's memory is the bitmap's, so a picture that cannot be had is -10),
// -12 the old file stayed held by another process (see MISC_WriteFileSafely).
#pragma once

#include <windows.h>

constexpr int WM_HELD_ERROR = -12;

struct JobWM;

class iBitmap {
public:
    iBitmap() = default;
    iBitmap(const iBitmap&) = delete;
    iBitmap& operator=(const iBitmap&) = delete;

    int iBitmap_BMPCreateTextWM(HINSTANCE hInstance, const WCHAR* fileName, const JobWM* record,
                                int nWidth, int nHeight, int nDstScale, int nPageDensity,
                                int nMaxPageDensity, float fTextScale, const BYTE* table,
                                int nTableW, int nTableH, DWORD DriverType);

    // Writes height rows of a bottom-up picture as a new file that replaces
    // the old one in one step (see MISC_WriteFileSafely); when it cannot be
    // written whole, what was there stays as it was.
    int iBitmap_CreateBMP(const WCHAR* fileName, int bitsPerPixel, int dpi, int width, int height,
                          const BYTE* pixels);
};
