// Writes the status dialog's 96-DPI pictures, the program's resources, as
// BMP files, drawn from the shapes the dialog draws every other scale from:
//   make_bitmaps DIR
// logo, upper, upper_mask, lower, lower_mask and lower_duplex .bmp in DIR,
// the images at 8 bits a pixel, the masks at 24.
#include <cstdio>
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
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_bitmaps DIR\n");
        return 2;
    }
    const int dpi = kBaseDpi, maskBits = 24;
    const std::string dir = std::string(argv[1]) + "/";
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
