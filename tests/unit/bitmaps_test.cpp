// The status dialog pictures as linked into the program and as the dialog
// draws them for other DPIs: sizes and depths, image and mask fitting the
// AND-then-XOR blit, and every dot of the status item table landing on the
// drawn printer of its picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "common/gdi_guards.h"
#include "display/status_draw.h"
#include "display/status_items.h"
#include "resources/resource.h"
#include "testkit/wine_test.h"

namespace {

// A bitmap loaded from the resources, deleted when the test is done with it.
// A bitmap resource of the program as a DIB section, deleted with its guard.
HBITMAP LoadBitmapResource(int id)
{
    return static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

const int kSide = 170;

// The picture's pixels as 0x00RRGGBB, top row first; empty if unreadable.
std::vector<uint32_t> ReadPixels(HBITMAP bitmap, int side = kSide)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(side) * side);
    BITMAPINFO info = TopDownRgb32(side, side);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, side, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != side)
        pixels.clear();
    for (uint32_t& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

const uint32_t kBlack = 0x000000;
const uint32_t kWhite = 0xFFFFFF;

struct Picture {
    int image;
    int mask;
};

const Picture kPictures[] = {
    {IDB_UPPER, IDB_UPPER_MASK},
    {IDB_LOWER, IDB_LOWER_MASK},
    {IDB_LOWER_DUPLEX, IDB_LOWER_MASK},
};

// The status item table: code, dot position (top-left of the 8 x 8 dot, 0 for
// no dot) and kind (0 and 2 upper picture, 1 and 3 lower picture).
struct Item {
    int code;
    int dotX;
    int dotY;
    int kind;
};

const Item kItems[48] = {
    {1, 0, 0, 0},      {2, 115, 118, 0},  {3, 0, 0, 0},      {4, 115, 118, 0},   {5, 92, 101, 0},
    {6, 119, 90, 0},   {7, 0, 0, 0},      {32, 0, 0, 0},     {33, 0, 0, 0},      {34, 0, 0, 0},
    {35, 0, 0, 0},     {48, 0, 0, 0},     {80, 94, 83, 0},   {112, 0, 0, 0},     {117, 0, 0, 0},
    {118, 0, 0, 0},    {126, 0, 0, 0},    {65535, 0, 0, 0},  {135, 119, 88, 0},  {136, 119, 88, 0},
    {256, 0, 0, 0},    {257, 28, 113, 1}, {258, 0, 0, 0},    {259, 0, 0, 0},     {260, 92, 70, 0},
    {261, 94, 41, 0},  {262, 36, 132, 1}, {263, 76, 78, 1},  {264, 76, 100, 1},  {265, 94, 58, 0},
    {265, 58, 88, 3},  {266, 74, 80, 1},  {267, 94, 71, 0},  {268, 91, 115, 0},  {269, 94, 71, 0},
    {270, 91, 115, 0}, {271, 0, 0, 0},    {272, 0, 0, 0},    {273, 0, 0, 0},     {274, 0, 0, 0},
    {276, 0, 0, 0},    {275, 0, 0, 0},    {277, 0, 0, 0},    {278, 91, 137, 2},  {279, 91, 141, 2},
    {280, 91, 115, 0}, {281, 91, 137, 2}, {282, 0, 0, 0},
};

struct ExpectedBitmap {
    int id;
    int width;
    int height;
    int bits;
};

void ExpectBitmap(const ExpectedBitmap& e)
{
    SCOPED_TRACE(e.id);
    ScopedBitmap bitmap(LoadBitmapResource(e.id));
    ASSERT_NE(bitmap.Get(), nullptr);
    DIBSECTION dib = {};
    ASSERT_EQ(GetObjectW(bitmap.Get(), sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    EXPECT_EQ(dib.dsBm.bmWidth, e.width);
    EXPECT_EQ(dib.dsBm.bmHeight, e.height);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, e.bits);
}

}  // namespace

TEST(StatusPictures, SizesAndDepths)
{
    const ExpectedBitmap expected[] = {
        {IDB_LOGO, 80, 20, 8},           {IDB_UPPER, 170, 170, 8}, {IDB_UPPER_MASK, 170, 170, 24},
        {IDB_LOWER, 170, 170, 8},        {IDB_LOWER_MASK, 170, 170, 24},
        {IDB_LOWER_DUPLEX, 170, 170, 8},
    };
    for (const ExpectedBitmap& e : expected)
        ExpectBitmap(e);
}

// Where the mask lets the background through, the XOR must leave it alone.
TEST(StatusPictures, ImageIsBlackWhereMaskIsClear)
{
    for (const Picture& p : kPictures) {
        SCOPED_TRACE(p.image);
        ScopedBitmap image(LoadBitmapResource(p.image));
        ScopedBitmap mask(LoadBitmapResource(p.mask));
        std::vector<uint32_t> imagePixels = ReadPixels(image.Get());
        std::vector<uint32_t> maskPixels = ReadPixels(mask.Get());
        ASSERT_FALSE(imagePixels.empty());
        ASSERT_FALSE(maskPixels.empty());

        int clear = 0;
        int opaque = 0;
        int faults = 0;
        for (size_t i = 0; i < maskPixels.size(); ++i) {
            if (maskPixels[i] == kWhite) {
                ++clear;
                faults += imagePixels[i] != kBlack;
            } else if (maskPixels[i] == kBlack) {
                ++opaque;
            } else {
                ADD_FAILURE() << "mask pixel " << i << " is neither black nor white: " << std::hex
                              << maskPixels[i];
                return;
            }
        }
        EXPECT_EQ(faults, 0) << "image pixels not black where the mask is white";
        // The printer fills much of its square and leaves a margin around it.
        EXPECT_GT(opaque, kSide * kSide / 3);
        EXPECT_GT(clear, kSide * kSide / 10);
    }
}

TEST(StatusPictures, EveryDotLiesOnItsPicture)
{
    ScopedBitmap upperMask(LoadBitmapResource(IDB_UPPER_MASK));
    ScopedBitmap lowerMask(LoadBitmapResource(IDB_LOWER_MASK));
    std::vector<uint32_t> upper = ReadPixels(upperMask.Get());
    std::vector<uint32_t> lower = ReadPixels(lowerMask.Get());
    ASSERT_FALSE(upper.empty());
    ASSERT_FALSE(lower.empty());

    int dots = 0;
    for (const Item& item : kItems) {
        if (item.dotX <= 0 || item.dotY <= 0)
            continue;
        ++dots;
        const std::vector<uint32_t>& mask = (item.kind == 1 || item.kind == 3) ? lower : upper;
        int uncovered = 0;
        for (int y = item.dotY; y < item.dotY + 8; ++y)
            for (int x = item.dotX; x < item.dotX + 8; ++x)
                uncovered += mask[y * kSide + x] != kBlack;
        EXPECT_EQ(uncovered, 0) << "code " << item.code << " at (" << item.dotX << "," << item.dotY
                                << ") kind " << item.kind << " has dot pixels off the printer";
    }
    EXPECT_EQ(dots, 24);
}

// The duplex view is drawn only when a duplex item is shown; its dots on the
// duplex unit must sit on something the plain lower view does not have.
TEST(StatusPictures, DuplexDotsSitOnTheDuplexUnit)
{
    ScopedBitmap plain(LoadBitmapResource(IDB_LOWER));
    ScopedBitmap duplex(LoadBitmapResource(IDB_LOWER_DUPLEX));
    std::vector<uint32_t> plainPixels = ReadPixels(plain.Get());
    std::vector<uint32_t> duplexPixels = ReadPixels(duplex.Get());
    ASSERT_FALSE(plainPixels.empty());
    ASSERT_FALSE(duplexPixels.empty());

    const int duplexCodes[] = {257, 262, 266};
    for (const Item& item : kItems) {
        bool onUnit = false;
        for (int code : duplexCodes)
            onUnit = onUnit || item.code == code;
        if (!onUnit)
            continue;
        int changed = 0;
        for (int y = item.dotY + 2; y < item.dotY + 6; ++y)
            for (int x = item.dotX + 2; x < item.dotX + 6; ++x)
                changed += plainPixels[y * kSide + x] != duplexPixels[y * kSide + x];
        EXPECT_GT(changed, 0) << "code " << item.code << " looks the same with and without the duplex unit";
    }
}

namespace {

// A picture or mask as the dialog makes it for the DPI, read as ReadPixels
// reads one of the resources.
std::vector<uint32_t> DrawnPixels(StatusPicture picture, int dpi, bool mask, int side)
{
    HDC screen = GetDC(nullptr);
    ScopedBitmap bitmap(SM_PictureBitmap(screen, picture, dpi, mask));
    ReleaseDC(nullptr, screen);
    BITMAP info = {};
    if (!bitmap.Get() || !GetObjectW(bitmap.Get(), sizeof(info), &info) || info.bmWidth != side ||
        info.bmHeight != side)
        return {};
    return ReadPixels(bitmap.Get(), side);
}

}  // namespace

// The pictures the dialog draws for DPIs other than 96: their sizes, masks
// that fit their images, and each dot, placed and sized as the dialog scales
// it, wholly on the printer. At 96 DPI the resources above are the pictures.
TEST(StatusPictureSets, EveryDrawnPictureFitsItsScale)
{
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(SM_PictureBitmap(screen, kPictureUpper, 96, false), nullptr);
    EXPECT_EQ(SM_PictureBitmap(screen, kPictureUpper, 481, true), nullptr);
    ReleaseDC(nullptr, screen);
    const StatusPicture pictures[] = {kPictureUpper, kPictureLower, kPictureLowerDuplex};
    for (int dpi : {100, 120, 144, 168, 192, 240, 288, 480}) {
        SCOPED_TRACE(dpi);
        const int side = SM_ScaleToDpi(kSide, dpi);
        std::vector<uint32_t> masks[3];
        for (int i = 0; i < 3; ++i) {
            std::vector<uint32_t> image = DrawnPixels(pictures[i], dpi, false, side);
            masks[i] = DrawnPixels(pictures[i], dpi, true, side);
            ASSERT_FALSE(image.empty());
            ASSERT_FALSE(masks[i].empty());
            int faults = 0;
            for (size_t k = 0; k < image.size(); ++k) {
                const uint32_t m = masks[i][k];
                faults += (m != kWhite && m != kBlack) || (m == kWhite && image[k] != kBlack);
            }
            EXPECT_EQ(faults, 0) << "picture " << pictures[i];
        }
        EXPECT_TRUE(masks[1] == masks[2]) << "the rear views share one mask";

        const int dot = SM_ScaleToDpi(8, dpi);
        for (const Item& item : kItems) {
            if (item.dotX <= 0 || item.dotY <= 0)
                continue;
            const std::vector<uint32_t>& mask = (item.kind == 1 || item.kind == 3) ? masks[1] : masks[0];
            const int x0 = SM_ScaleToDpi(item.dotX, dpi), y0 = SM_ScaleToDpi(item.dotY, dpi);
            int uncovered = 0;
            for (int y = y0; y < y0 + dot; ++y)
                for (int x = x0; x < x0 + dot; ++x)
                    uncovered += mask[static_cast<size_t>(y) * side + x] != kBlack;
            EXPECT_EQ(uncovered, 0) << "code " << item.code << " kind " << item.kind << " off the printer";
        }
    }
}
