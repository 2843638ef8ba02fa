// The 1-bit BMP file the driver prints: 62 bytes of headers and palette
// (black, white), then the pixel rows bottom-up, each padded to 32 bits.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

constexpr size_t WM_BMP_HEADER_BYTES = 14 + 40 + 8;
constexpr size_t WM_BMP_FILE_HEADER_BYTES = 14;

// File header, information header and palette of a 1-bit picture.
std::array<uint8_t, WM_BMP_HEADER_BYTES> WM_BmpHeader(int32_t width, int32_t height, int dpi);

// Rows per write: pieces of at most 6451200 bytes, and never less than a row.
size_t WM_RowsPerWrite(size_t stride);
