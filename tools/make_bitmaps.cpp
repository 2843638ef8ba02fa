// Writes the status dialog's pictures as BMP files, drawn from the shapes
// the dialog draws them from at every other scale:
//   make_bitmaps DIR [DPI]
// logo, upper, upper_mask, lower, lower_mask and lower_duplex .bmp in DIR.
// At 96 DPI (the default) these are the program's resources, their masks at
// 24 bits a pixel; at another DPI, what the dialog shows there, masks at 1.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/picture_bmp.h"
#include "display/picture_shapes.h"
#include "display/status_items.h"

namespace {

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        std::perror(path.c_str());
        return false;
    }
    size_t written = std::fwrite(bytes.data(), 1, bytes.size(), out);
    bool closed = std::fclose(out) == 0;
    if (written != bytes.size() || !closed) {
        std::fprintf(stderr, "%s: write failed\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const int dpi = argc == 3 ? std::atoi(argv[2]) : kBaseDpi;
    if (argc < 2 || argc > 3 || SM_DrawPicture(kPictureLogo, dpi).width == 0) {
        std::fprintf(stderr, "usage: make_bitmaps DIR [DPI, 96 to %d]\n", kMaxPictureDpi);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const int maskBits = dpi == kBaseDpi ? 24 : 1;
    const PictureCanvas upper = SM_DrawPicture(kPictureUpper, dpi);
    const PictureCanvas lower = SM_DrawPicture(kPictureLower, dpi);
    bool ok = WriteFile(dir + "logo.bmp", SM_PictureImageBmp(SM_DrawPicture(kPictureLogo, dpi))) &&
              WriteFile(dir + "upper.bmp", SM_PictureImageBmp(upper)) &&
              WriteFile(dir + "upper_mask.bmp", SM_PictureMaskBmp(upper, maskBits)) &&
              WriteFile(dir + "lower.bmp", SM_PictureImageBmp(lower)) &&
              WriteFile(dir + "lower_mask.bmp", SM_PictureMaskBmp(lower, maskBits)) &&
              WriteFile(dir + "lower_duplex.bmp", SM_PictureImageBmp(SM_DrawPicture(kPictureLowerDuplex, dpi)));
    return ok ? 0 : 1;
}
