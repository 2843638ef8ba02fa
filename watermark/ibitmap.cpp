#include "watermark/ibitmap.h"

#include <array>

#include "common/safe_file.h"
#include "common/trace.h"
#include "fax/fax_page.h"
#include "watermark/bmp_format.h"
#include "watermark/halftone.h"
#include "watermark/settings.h"
#include "watermark/wm_text.h"

namespace {

constexpr const wchar_t* kTagCreate = L"iBitmap_BMPCreateTextWM";
constexpr const wchar_t* kTagWrite = L"iBitmap_CreateBMP";
constexpr int kDpi = 600;

// Movable memory, locked for its whole life and freed on every way out.
class LockedMemory {
public:
    explicit LockedMemory(SIZE_T bytes) : handle_(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes))
    {
        if (handle_)
            data_ = static_cast<BYTE*>(GlobalLock(handle_));
    }
    ~LockedMemory()
    {
        if (data_)
            GlobalUnlock(handle_);
        if (handle_)
            GlobalFree(handle_);
    }
    LockedMemory(const LockedMemory&) = delete;
    LockedMemory& operator=(const LockedMemory&) = delete;

    // 1 when usable, else the failure code: -1 not allocated, -2 not locked.
    int Status() const { return !handle_ ? -1 : !data_ ? -2 : 1; }
    BYTE* get() const { return data_; }

private:
    HGLOBAL handle_;
    BYTE* data_ = nullptr;
};

class MemoryDC {
public:
    MemoryDC() : hdc_(CreateCompatibleDC(nullptr)) {}
    ~MemoryDC()
    {
        if (hdc_)
            DeleteDC(hdc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return hdc_; }

private:
    HDC hdc_;
};

class Bitmap {
public:
    Bitmap(int width, int height) : bitmap_(CreateBitmap(width, height, 1, 1, nullptr)) {}
    ~Bitmap()
    {
        if (bitmap_)
            DeleteObject(bitmap_);
    }
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    HBITMAP get() const { return bitmap_; }

private:
    HBITMAP bitmap_;
};

// Keeps a bitmap selected into a context until it goes out of scope or is
// let go early (GetDIBits wants the bitmap out of every context).
class Selection {
public:
    Selection(HDC hdc, HGDIOBJ object) : hdc_(hdc), old_(SelectObject(hdc, object)) {}
    ~Selection() { Release(); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    void Release()
    {
        if (old_)
            SelectObject(hdc_, old_);
        old_ = nullptr;
    }

private:
    HDC hdc_;
    HGDIOBJ old_;
};

// WriteFile with the count checked: a short write is a failed one.
bool WriteAll(HANDLE file, const void* data, size_t bytes)
{
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(bytes), &written, nullptr) && written == bytes;
}

// Headers, then the rows in pieces of whole rows, straight from the buffer.
bool WriteBmp(HANDLE file, const std::array<uint8_t, WM_BMP_HEADER_BYTES>& header, const BYTE* pixels, size_t stride,
              size_t height)
{
    if (!WriteAll(file, header.data(), WM_BMP_FILE_HEADER_BYTES)) {
        TRACE_Msg(kTraceError, L"write file header data fail!");
        return false;
    }
    if (!WriteAll(file, header.data() + WM_BMP_FILE_HEADER_BYTES, header.size() - WM_BMP_FILE_HEADER_BYTES)) {
        TRACE_Msg(kTraceError, L"write file info data fail!");
        return false;
    }
    const size_t rowsPerWrite = WM_RowsPerWrite(stride);
    for (size_t row = 0; row < height; row += rowsPerWrite) {
        size_t rows = height - row < rowsPerWrite ? height - row : rowsPerWrite;
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

// A 1-bit, bottom-up description with the palette black, white.
void Describe(BITMAPINFO* info, int width, int height)
{
    const LONG perMetre = kDpi * 10000 / 254;
    BITMAPINFOHEADER& h = info->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 1;
    h.biCompression = BI_RGB;
    h.biXPelsPerMeter = perMetre;
    h.biYPelsPerMeter = perMetre;
    h.biClrUsed = 2;
    h.biClrImportant = 2;
    info->bmiColors[0] = {0, 0, 0, 0};
    info->bmiColors[1] = {255, 255, 255, 0};
}

// Steps after the argument checks, in order; every object is released by
// its guard on the way out.
int RenderAndWrite(iBitmap* self, HINSTANCE hInstance, const WCHAR* fileName, const JobWM* record,
                   int nWidth, int nHeight, int nDstScale, float fTextScale, const BYTE* table,
                   int nTableW, int nTableH, DWORD DriverType)
{
    MemoryDC dc;
    if (!dc.get()) {
        TRACE_TagError(kTagCreate, L"CreateCompatibleDC fail!");
        return -9;
    }
    Bitmap bitmap(nWidth, nHeight);
    if (!bitmap.get()) {
        TRACE_TagError(kTagCreate, L"CreateBitmap fail!");
        return -10;
    }
    Selection selected(dc.get(), bitmap.get());
    if (!PatBlt(dc.get(), 0, 0, nWidth, nHeight, WHITENESS)) {
        TRACE_TagError(kTagCreate, L"fill white fail!");
        return -6;
    }
    Draw(hInstance, dc.get(), record, nWidth, nHeight, nDstScale, fTextScale, DriverType);
    selected.Release();

    const size_t stride = static_cast<size_t>(WM_Stride(nWidth));
    LockedMemory picture(stride * static_cast<size_t>(nHeight));
    if (picture.Status() != 1) {
        TRACE_TagError(kTagCreate, L"picture memory fail!");
        return picture.Status();
    }
    LockedMemory info(sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD));
    if (info.Status() != 1) {
        TRACE_TagError(kTagCreate, L"bitmap info memory fail!");
        return info.Status();
    }
    BITMAPINFO* description = reinterpret_cast<BITMAPINFO*>(info.get());
    Describe(description, nWidth, nHeight);
    if (GetDIBits(dc.get(), bitmap.get(), 0, static_cast<UINT>(nHeight), picture.get(), description,
                  DIB_RGB_COLORS) != nHeight) {
        TRACE_TagError(kTagCreate, L"GetDIBits fail!");
        return -8;
    }

    WM_DotMask mask;
    WM_BuildDotMask(table, nTableW, nTableH, WM_DensityLevel(record->wm.wDensity), &mask);
    WM_HalftonePass(picture.get(), stride, static_cast<size_t>(nHeight), mask, nTableW, nTableH);
    const int written = self->iBitmap_CreateBMP(fileName, 1, kDpi, nWidth, nHeight, picture.get());
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
    const size_t stride = static_cast<size_t>(WM_Stride(width));
    const auto header = WM_BmpHeader(width, height, dpi);
    // The file is written whole beside its place and then put there, so the
    // driver never finds a part of a picture and no other file is destroyed.
    const int written = MISC_WriteFileSafely(
        fileName, [&](HANDLE file) { return WriteBmp(file, header, pixels, stride, static_cast<size_t>(height)); });
    if (!written) {
        TRACE_Msg(kTraceError, L"file %ls not written!", fileName);
        return -5;
    }
    return 1;
}
