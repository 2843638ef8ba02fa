// The status dialog's pictures as BMP files: the image at 8 bits a pixel
// with the pictures' palette, and its mask, black where the picture is
// opaque and white where it is transparent, at 1 or 24 bits a pixel. The
// 96-DPI files are the program's resources; the dialog makes bitmaps of the
// other scales from the same bytes, less the 14-byte file header.
#pragma once

#include <cstdint>
#include <vector>

#include "display/picture_canvas.h"

constexpr int kBmpFileHeaderBytes = 14;

std::vector<uint8_t> SM_PictureImageBmp(const PictureCanvas& c);
// bits: 1 or 24.
std::vector<uint8_t> SM_PictureMaskBmp(const PictureCanvas& c, int bits);
