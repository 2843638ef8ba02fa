#include "watermark/ibitmap.h"

#include "common/gdi_guards.h"
#include "common/safe_file.h"
#include "common/trace.h"
#include "fax/fax_page.h"
#include "watermark/bmp_format.h"
#include "watermark/halftone.h"
#include "watermark/mono_dib.h"
#include "watermark/settings.h"
#include "watermark/wm_text.h"

namespace {

constexpr const wchar_t* kTagCreate = L"iBitmap_BMPCreateTextWM";
constexpr const wchar_t* kTagWrite = L"iBitmap_CreateBMP";
constexpr int kDpi = 600;

// WriteFile with the count checked: a short write is a failed one.
bool WriteAll(HANDLE file, const void* data, size_t bytes)
{
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(bytes), &written, nullptr) && written == bytes;
}

// Writes the headers and the rows of a 1-bit picture to an open file; false
// at the first write that fails.
bool WriteBmp(HANDLE file, int width, int height, int dpi, const BYTE* pixels)
{
    const size_t stride = static_cast<size_t>(WM_Stride(width));
    const auto header = WM_BmpHeader(width, height, dpi);
    if (!WriteAll(file, header.data(), WM_BMP_FILE_HEADER_BYTES)) {
        TRACE_Msg(kTraceError, L"write file header data fail!");
        return false;
    }
    if (!WriteAll(file, header.data() + WM_BMP_FILE_HEADER_BYTES, header.size() - WM_BMP_FILE_HEADER_BYTES)) {
        TRACE_Msg(kTraceError, L"write file info data fail!");
        return false;
    }
    const size_t rowsPerWrite = WM_RowsPerWrite(stride);
    for (size_t row = 0; row < static_cast<size_t>(height); row += rowsPerWrite) {
        size_t rows = static_cast<size_t>(height) - row < rowsPerWrite ? static_cast<size_t>(height) - row : rowsPerWrite;
        if (!WriteAll(file, pixels + row * stride, rows * stride)) {
            TRACE_Msg(kTraceError, L"fwrite fail!");
            return false;
        }
    }
    return true;
}

int CheckArguments(const WCHAR* fileName, const JobWM* record, int nWidth, int nHeight,
                   int nPageDensity, int nMaxPageDensity, const BYTE* table, int nTableW, int nTableH)
{
    if (!record || !fileName || !fileName[0]) {
        TRACE_TagError(kTagCreate, L"file name error!");
        return -7;
    }
    if (nWidth <= 0 || nHeight <= 0) {
        TRACE_TagError(kTagCreate, L"picture size can't accept %d x %d!", nWidth, nHeight);
        return -7;
    }
    if (!table) {
        TRACE_TagError(kTagCreate, L"halftone table null!");
        return -7;
    }
    if (nTableW < 16 || nTableW > WM_MAX_TABLE || nTableH < 16 || nTableH > WM_MAX_TABLE) {
        TRACE_TagError(kTagCreate, L"halftone table size can't accept %d x %d!", nTableW, nTableH);
        return -7;
    }
    if (nPageDensity <= 0 || nMaxPageDensity <= 0 || nPageDensity > nMaxPageDensity) {
        TRACE_TagError(kTagCreate, L"nPageDensity = %d", nPageDensity);
        TRACE_TagError(kTagCreate, L"nMaxPageDensity = %d", nMaxPageDensity);
        return -7;
    }
    return 1;
}

// int(size x scale), held within the coordinate range of a rectangle.
LONG Scaled(int size, float scale)
{
    const float scaled = size * scale;
    return scaled >= 2147483520.0f ? 2147483520 : static_cast<LONG>(scaled);
}

RECT DrawingRect(int nWidth, int nHeight, float fTextScale)
{
    // An enlarged rectangle reaches past the bitmap: a centred text is
    // centred in it, and the bitmap clips the rest.
    if (fTextScale > 1.0f)
        return {0, 0, Scaled(nWidth, fTextScale), Scaled(nHeight, fTextScale)};
    return {0, 0, nWidth, nHeight};
}

void Draw(HINSTANCE hInstance, HDC hdc, const JobWM* record, int nWidth, int nHeight, int nDstScale,
          float fTextScale, DWORD DriverType)
{
    if (DriverType & WM_DRIVER_FAX) {
        const RECT page = {0, 0, nWidth, nHeight};
        WmForFax(hInstance, hdc, &page, record);
        return;
    }
    const RECT rect = DrawingRect(nWidth, nHeight, fTextScale);
    const int scale = static_cast<int>(static_cast<double>(fTextScale) * 69.0 * nDstScale);
    avDrawWatermarkText(hInstance, hdc, &rect, record, scale);
}

// Steps after the argument checks, in order; every object is released by
// its guard on the way out. GDI draws straight into the rows of a DIB
// section laid out as the file's, so the picture is halftoned and written
// where it was drawn: no second copy of it is read out of a bitmap.
int RenderAndWrite(iBitmap* self, HINSTANCE hInstance, const WCHAR* fileName, const JobWM* record,
                   int nWidth, int nHeight, int nDstScale, float fTextScale, const BYTE* table,
                   int nTableW, int nTableH, DWORD DriverType)
{
    ScopedMemoryDC dc(nullptr);
    if (!dc.Get()) {
        TRACE_TagError(kTagCreate, L"CreateCompatibleDC fail!");
        return -9;
    }
    void* bits = nullptr;
    ScopedBitmap bitmap(WM_CreateMonoDIB(dc.Get(), nWidth, nHeight, kDpi, &bits));
    if (!bitmap.Get()) {
        TRACE_TagError(kTagCreate, L"CreateDIBSection fail!");
        return -10;
    }
    ScopedSelect selected(dc.Get(), bitmap.Get());
    if (!PatBlt(dc.Get(), 0, 0, nWidth, nHeight, WHITENESS)) {
        TRACE_TagError(kTagCreate, L"fill white fail!");
        return -6;
    }
    Draw(hInstance, dc.Get(), record, nWidth, nHeight, nDstScale, fTextScale, DriverType);
    GdiFlush();

    BYTE* picture = static_cast<BYTE*>(bits);
    WM_DotMask mask;
    WM_BuildDotMask(table, nTableW, nTableH, WM_DensityLevel(record->wm.wDensity), &mask);
    WM_HalftonePass(picture, static_cast<size_t>(WM_Stride(nWidth)), static_cast<size_t>(nHeight), mask, nTableW,
                    nTableH);
    const int written = self->iBitmap_CreateBMP(fileName, 1, kDpi, nWidth, nHeight, picture);
    return written >= 0 ? 1 : written;
}

} // namespace

int iBitmap::iBitmap_BMPCreateTextWM(HINSTANCE hInstance, const WCHAR* fileName, const JobWM* record,
                                     int nWidth, int nHeight, int nDstScale, int nPageDensity,
                                     int nMaxPageDensity, float fTextScale, const BYTE* table,
                                     int nTableW, int nTableH, DWORD DriverType)
{
    ScopedTrace trace(kTraceProgress, kTagCreate);
    int result = CheckArguments(fileName, record, nWidth, nHeight, nPageDensity, nMaxPageDensity, table,
                                nTableW, nTableH);
    if (result == 1 && WM_Stride(nWidth) * nHeight > WM_MAX_PICTURE_BYTES) {
        TRACE_TagError(kTagCreate, L"picture of %d x %d is too large!", nWidth, nHeight);
        result = -1;
    }
    if (result == 1)
        result = RenderAndWrite(this, hInstance, fileName, record, nWidth, nHeight, nDstScale, fTextScale,
                                table, nTableW, nTableH, DriverType);
    TRACE_Msg(kTraceProgress, L"result = %d", result);
    return result;
}

int iBitmap::iBitmap_CreateBMP(const WCHAR* fileName, int bitsPerPixel, int dpi, int width, int height,
                               const BYTE* pixels)
{
    ScopedTrace trace(kTraceProgress, kTagWrite);
    // The file format here is the 1-bit one; other depths are not written.
    if (bitsPerPixel != 1 || width <= 0 || height <= 0 || WM_Stride(width) * height > WM_MAX_PICTURE_BYTES) {
        TRACE_Msg(kTraceError, L"picture %d x %d x %d can't be written!", width, height, bitsPerPixel);
        return -7;
    }
    // The file is written whole beside its place and then put there, so the
    // driver never finds a part of a picture and no other file is destroyed.
    const int written = MISC_WriteFileSafely(
        fileName, [&](HANDLE file) { return WriteBmp(file, width, height, dpi, pixels); });
    if (written == MISC_FILE_HELD)
        return WM_HELD_ERROR;
    if (!written) {
        TRACE_Msg(kTraceError, L"file %ls not written!", fileName);
        return -5;
    }
    return 1;
}
