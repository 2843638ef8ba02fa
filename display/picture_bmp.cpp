#include "display/picture_bmp.h"

#include <cstddef>

#include "display/picture_shapes.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// File header, information header (bottom-up, uncompressed, 72 dpi) and a
// palette of the given number of colours (0x00RRGGBB each).
std::vector<uint8_t> Headers(const PictureCanvas& c, int bits, size_t rowBytes, const uint32_t* palette,
                             int colours)
{
    const uint32_t imageBytes = static_cast<uint32_t>(rowBytes * c.height);
    const uint32_t offset = kBmpFileHeaderBytes + 40 + 4 * colours;
    std::vector<uint8_t> out = {'B', 'M'};
    Put32(out, offset + imageBytes);
    Put32(out, 0);
    Put32(out, offset);
    for (uint32_t v : {40u, static_cast<uint32_t>(c.width), static_cast<uint32_t>(c.height)})
        Put32(out, v);
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bits));
    for (uint32_t v : {0u, imageBytes, 2835u, 2835u, static_cast<uint32_t>(colours), 0u})
        Put32(out, v);
    for (int i = 0; i < colours; ++i) {
        out.push_back(static_cast<uint8_t>(palette[i]));
        out.push_back(static_cast<uint8_t>(palette[i] >> 8));
        out.push_back(static_cast<uint8_t>(palette[i] >> 16));
        out.push_back(0);
    }
    out.reserve(out.size() + imageBytes);
    return out;
}

size_t RowBytes(int width, int bits)
{
    return (static_cast<size_t>(width) * bits + 31) / 32 * 4;
}

const uint8_t* RowOf(const PictureCanvas& c, int y)
{
    return c.pixels.data() + static_cast<size_t>(y) * c.width;
}

} // namespace

std::vector<uint8_t> SM_PictureImageBmp(const PictureCanvas& c)
{
    const size_t rowBytes = RowBytes(c.width, 8);
    std::vector<uint8_t> out = Headers(c, 8, rowBytes, kPicturePalette, kPictureColours);
    for (int y = c.height - 1; y >= 0; --y) {
        out.insert(out.end(), RowOf(c, y), RowOf(c, y) + c.width);
        out.resize(out.size() + rowBytes - c.width, 0);
    }
    return out;
}

std::vector<uint8_t> SM_PictureMaskBmp(const PictureCanvas& c, int bits)
{
    static const uint32_t kBlackWhite[] = {0x000000, 0xFFFFFF};
    const size_t rowBytes = RowBytes(c.width, bits);
    std::vector<uint8_t> out = Headers(c, bits, rowBytes, kBlackWhite, bits == 1 ? 2 : 0);
    for (int y = c.height - 1; y >= 0; --y) {
        const size_t start = out.size();
        out.resize(start + rowBytes, 0);
        for (int x = 0; x < c.width; ++x) {
            if (RowOf(c, y)[x] != kColourClear)
                continue;
            if (bits == 1)
                out[start + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            else
                out[start + 3 * x] = out[start + 3 * x + 1] = out[start + 3 * x + 2] = 0xFF;
        }
    }
    return out;
}
