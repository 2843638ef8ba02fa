#include "watermark/mono_dib.h"

HBITMAP WM_CreateMonoDIB(HDC hdc, int width, int height, int dpi, void** bits)
{
    *bits = nullptr;
    if (width > WM_MAX_BITMAP_SIDE || height > WM_MAX_BITMAP_SIDE)
        return nullptr;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } info{};
    const LONG perMetre = dpi * 10000 / 254;
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.header.biCompression = BI_RGB;
    info.header.biXPelsPerMeter = perMetre;
    info.header.biYPelsPerMeter = perMetre;
    info.header.biClrUsed = 2;
    info.header.biClrImportant = 2;
    info.colours[0] = {0, 0, 0, 0};
    info.colours[1] = {255, 255, 255, 0};
    HBITMAP bitmap = CreateDIBSection(hdc, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, bits, nullptr, 0);
    if (bitmap && !*bits) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}
