// Thinning of the rendered watermark: the density level, the dot mask made
// from a threshold table and the pass over a 1-bit picture (a 0 bit is black).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

constexpr int WM_MAX_TABLE = 128;                   // largest threshold table side
constexpr int WM_MASK_ROW_BYTES = WM_MAX_TABLE / 8;
using WM_DotMask = std::array<uint8_t, WM_MAX_TABLE * WM_MASK_ROW_BYTES>;

// Bytes per picture row: whole 32-bit words. 64-bit arithmetic, so a huge
// width cannot wrap into a buffer smaller than the rows read into it.
int64_t WM_Stride(int64_t width);

// The largest picture buffer the job accepts; a bigger one is a bad record.
constexpr int64_t WM_MAX_PICTURE_BYTES = int64_t{512} << 20;

// Threshold level of a wDensity of 20-100: 30, 54, 84, 114 or 150.
int WM_DensityLevel(unsigned density);

// Mask bit 2^k of byte [r][x] is set when entry [r][8x + k] is at most level,
// so the first column of each group of eight lands on the rightmost pixel.
// tableW is a multiple of 8, both sides at most 128.
void WM_BuildDotMask(const uint8_t* table, int tableW, int tableH, int level, WM_DotMask* mask);

// Keeps a black pixel only where the mask bit is set; white stays white. Row 0
// of the buffer is the bottom line, so the mask is anchored bottom-left.
void WM_HalftonePass(uint8_t* picture, size_t stride, size_t height, const WM_DotMask& mask,
                     int tableW, int tableH);
