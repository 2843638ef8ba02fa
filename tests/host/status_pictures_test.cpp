#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "display/picture_bmp.h"
#include "display/picture_shapes.h"
#include "display/status_items.h"

namespace {

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// "n bytes differ, the first at offset k", or "" when a and b are the same.
std::string Difference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    if (a.size() != b.size())
        return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size());
    size_t n = 0, first = 0;
    for (size_t i = a.size(); i-- > 0;)
        if (a[i] != b[i]) {
            ++n;
            first = i;
        }
    return n ? std::to_string(n) + " bytes differ, the first at offset " + std::to_string(first) : "";
}

struct PictureFile {
    const char* name;
    StatusPicture picture;
    bool mask;
};

const PictureFile kFiles[] = {
    {"logo", kPictureLogo, false},  {"upper", kPictureUpper, false},        {"upper_mask", kPictureUpper, true},
    {"lower", kPictureLower, false}, {"lower_duplex", kPictureLowerDuplex, false}, {"lower_mask", kPictureLower, true},
};

// The part each dot must sit on, by code and kind.
struct DotPart {
    int code;
    int kind;
    PrinterPart part;
};

const DotPart kDotParts[] = {
    {2, 0, kPartPaperCassette},    {4, 0, kPartPaperCassette},   {5, 0, kPartFrontCover},
    {6, 0, kPartTonerCartridge},   {80, 0, kPartPaperPath},      {135, 0, kPartTonerCartridge},
    {136, 0, kPartTonerCartridge}, {257, 1, kPartDuplexUnit},    {260, 0, kPartPaperPath},
    {261, 0, kPartOutputTray},     {262, 1, kPartDuplexUnit},    {263, 1, kPartPaperPath},
    {264, 1, kPartPaperPath},      {265, 0, kPartRearCover},     {265, 3, kPartRearCover},
    {266, 1, kPartDuplexRearCover}, {267, 0, kPartManualTray},   {268, 0, kPartPaperCassette},
    {269, 0, kPartManualTray},     {270, 0, kPartPaperCassette}, {278, 2, kPartTray2},
    {279, 2, kPartTray2},          {280, 0, kPartPaperCassette}, {281, 2, kPartTray2},
};

int PartWanted(const StatusItem& item)
{
    for (const DotPart& d : kDotParts)
        if (d.code == item.code && d.kind == item.kind)
            return d.part;
    return -1;
}

} // namespace

// The files the program links at 96 DPI, and the sets once linked for 125,
// 150, 175 and 200 % (kept beside this test), are what the shapes give at
// those DPIs, byte for byte.
TEST(StatusPictures, DrawnAsTheCommittedFilesByteForByte)
{
    const std::string sets = MFPSM_SOURCE_DIR "/tests/host/picture_sets/";
    const struct {
        int dpi;
        std::string suffix;
    } scales[] = {{96, ""}, {120, "_125"}, {144, "_150"}, {168, "_175"}, {192, "_200"}};
    for (const auto& s : scales) {
        const std::string dir = s.dpi == 96 ? MFPSM_SOURCE_DIR "/resources/bitmaps/" : sets;
        for (const PictureFile& f : kFiles) {
            SCOPED_TRACE(std::string(f.name) + s.suffix);
            std::vector<uint8_t> file = ReadFile(dir + f.name + s.suffix + ".bmp");
            ASSERT_GT(file.size(), 54u);
            PictureCanvas canvas = SM_DrawPicture(f.picture, s.dpi);
            std::vector<uint8_t> drawn =
                f.mask ? SM_PictureMaskBmp(canvas, s.dpi == 96 ? 24 : 1) : SM_PictureImageBmp(canvas);
            EXPECT_EQ(Difference(drawn, file), "");
        }
    }
}

// At 100 to 400 %, each dot of the status item table, placed and sized as
// the dialog scales it, lies wholly on the opaque printer, and the four
// pixels at its centre on the part its error names. The two rear views have
// one outline, as they share one mask.
TEST(StatusPictures, EveryDotLandsOnItsPartAtEveryScale)
{
    for (int dpi : {96, 120, 144, 168, 192, 240, 288, 384}) {
        SCOPED_TRACE(dpi);
        const PictureCanvas upper = SM_DrawPicture(kPictureUpper, dpi);
        const PictureCanvas lower = SM_DrawPicture(kPictureLower, dpi);
        const PictureCanvas duplex = SM_DrawPicture(kPictureLowerDuplex, dpi);
        ASSERT_EQ(upper.width, SM_ScaleToDpi(kPictureSize, dpi));
        for (size_t i = 0; i < lower.pixels.size(); ++i)
            ASSERT_EQ(lower.pixels[i] == kColourClear, duplex.pixels[i] == kColourClear) << "pixel " << i;
        const int size = SM_ScaleToDpi(kDotSize, dpi);
        int dots = 0;
        for (const StatusItem& item : kStatusItemTable) {
            if (!SM_HasDot(item))
                continue;
            ++dots;
            SCOPED_TRACE(item.code);
            const PictureCanvas& pic =
                item.kind == kKindLowerDuplex ? duplex : item.kind == kKindLower ? lower : upper;
            const int x0 = SM_ScaleToDpi(item.dotX, dpi), y0 = SM_ScaleToDpi(item.dotY, dpi);
            std::set<int> centre;
            for (int y = y0 + size / 2 - 1; y <= y0 + size / 2; ++y)
                for (int x = x0 + size / 2 - 1; x <= x0 + size / 2; ++x)
                    centre.insert(pic.parts[static_cast<size_t>(y) * pic.width + x]);
            EXPECT_EQ(centre, std::set<int>{PartWanted(item)});
            int uncovered = 0;
            for (int y = y0; y < y0 + size; ++y)
                for (int x = x0; x < x0 + size; ++x)
                    uncovered += pic.pixels[static_cast<size_t>(y) * pic.width + x] == kColourClear;
            EXPECT_EQ(uncovered, 0);
        }
        EXPECT_EQ(dots, 24);
    }
}

TEST(StatusPictures, DrawnFor96To480Dpi)
{
    EXPECT_EQ(SM_DrawPicture(kPictureUpper, 95).width, 0);
    EXPECT_EQ(SM_DrawPicture(kPictureLogo, 481).width, 0);
    const PictureCanvas largest = SM_DrawPicture(kPictureUpper, 480);
    EXPECT_EQ(largest.width, 850);
    EXPECT_EQ(largest.pen, 5);
    const PictureCanvas logo = SM_DrawPicture(kPictureLogo, 288);
    EXPECT_EQ(logo.width, 240);
    EXPECT_EQ(logo.height, 60);
}
