#include "watermark/bmp_format.h"

#include "watermark/halftone.h"

namespace {

constexpr size_t kBytesPerWrite = 6451200;

void Put16(uint8_t* at, uint32_t value)
{
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value)
{
    Put16(at, value);
    Put16(at + 2, value >> 16);
}

} // namespace

std::array<uint8_t, WM_BMP_HEADER_BYTES> WM_BmpHeader(int32_t width, int32_t height, int dpi)
{
    const uint32_t imageSize = static_cast<uint32_t>(WM_Stride(width) * height);
    const uint32_t perMetre = static_cast<uint32_t>(dpi * 10000 / 254);
    std::array<uint8_t, WM_BMP_HEADER_BYTES> h{};
    h[0] = 'B';
    h[1] = 'M';
    Put32(&h[2], static_cast<uint32_t>(WM_BMP_HEADER_BYTES) + imageSize);
    Put32(&h[10], WM_BMP_HEADER_BYTES);
    Put32(&h[14], 40);
    Put32(&h[18], static_cast<uint32_t>(width));
    Put32(&h[22], static_cast<uint32_t>(height));
    Put16(&h[26], 1);
    Put16(&h[28], 1);
    Put32(&h[34], imageSize);
    Put32(&h[38], perMetre);
    Put32(&h[42], perMetre);
    Put32(&h[46], 2);
    Put32(&h[50], 2);
    // Colour 0 stays black (all zero); colour 1 is white.
    h[58] = h[59] = h[60] = 255;
    return h;
}

size_t WM_RowsPerWrite(size_t stride)
{
    size_t rows = stride ? kBytesPerWrite / stride : 1;
    return rows ? rows : 1;
}
