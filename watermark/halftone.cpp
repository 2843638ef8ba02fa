#include "watermark/halftone.h"

#include <cstring>

namespace {

// Longest run of mask bytes laid out per mask row.
constexpr size_t kRunBytes = 256;

size_t Gcd(size_t a, size_t b)
{
    while (b) {
        size_t t = a % b;
        a = b;
        b = t;
    }
    return a;
}

// words x 8 bytes of a row against the same number of mask bytes.
void ApplyWords(uint8_t* __restrict line, const uint8_t* __restrict mask, size_t words)
{
    for (size_t w = 0; w < words; ++w) {
        uint64_t b, m;
        std::memcpy(&b, line + 8 * w, 8);
        std::memcpy(&m, mask + 8 * w, 8);
        b = ~(m & ~b);
        std::memcpy(line + 8 * w, &b, 8);
    }
}

} // namespace

int64_t WM_Stride(int64_t width)
{
    return ((width + 7) / 8 + 3) / 4 * 4;
}

int WM_DensityLevel(unsigned density)
{
    static const int kLevels[] = {30, 30, 54, 84, 114, 150};
    unsigned index = density / 20;
    return kLevels[index < 5 ? index : 5];
}

void WM_BuildDotMask(const uint8_t* table, int tableW, int tableH, int level, WM_DotMask* mask)
{
    mask->fill(0);
    for (int r = 0; r < tableH; ++r) {
        for (int x = 0; x < tableW / 8; ++x) {
            uint8_t bits = 0;
            for (int k = 0; k < 8; ++k) {
                if (table[r * tableW + 8 * x + k] <= level)
                    bits |= static_cast<uint8_t>(1u << k);
            }
            (*mask)[r * WM_MASK_ROW_BYTES + x] = bits;
        }
    }
}

void WM_HalftonePass(uint8_t* picture, size_t stride, size_t height, const WM_DotMask& mask,
                     int tableW, int tableH)
{
    // Each mask row is laid out over a run of whole mask widths and whole
    // 64-bit words, so the pass is a straight loop over words with no
    // remainders. NOT(m AND NOT b) leaves a white byte (0xFF) as it is:
    // white needs no test of its own.
    const size_t maskBytes = static_cast<size_t>(tableW / 8);
    const size_t unit = maskBytes * 8 / Gcd(maskBytes, 8);
    const size_t run = kRunBytes / unit * unit;
    alignas(8) std::array<uint8_t, WM_MAX_TABLE * kRunBytes> runs;
    for (int r = 0; r < tableH; ++r) {
        for (size_t k = 0; k < run; ++k)
            runs[r * kRunBytes + k] = mask[r * WM_MASK_ROW_BYTES + k % maskBytes];
    }
    for (size_t j = 0; j < height; ++j) {
        uint8_t* line = picture + j * stride;
        const uint8_t* m = runs.data() + (j % static_cast<size_t>(tableH)) * kRunBytes;
        size_t k = 0;
        for (; k + run <= stride; k += run)
            ApplyWords(line + k, m, run / 8);
        for (size_t i = 0; k + i < stride; ++i)
            line[k + i] = static_cast<uint8_t>(~(m[i] & ~line[k + i]));
    }
}
