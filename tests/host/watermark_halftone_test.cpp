// Density levels, the dot mask, the halftone pass and the BMP encoding, on
// small hand-made pictures.
#include <gtest/gtest.h>

#include <vector>

#include "watermark/bmp_format.h"
#include "watermark/halftone.h"
#include "watermark/halftone_tables.h"

namespace {

// Entry [r][c] = 16r + c: the thresholds count up row by row.
std::vector<uint8_t> CountingTable()
{
    std::vector<uint8_t> t(256);
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<uint8_t>(i);
    return t;
}

uint8_t MaskAt(const WM_DotMask& mask, int row, int byte)
{
    return mask[row * WM_MASK_ROW_BYTES + byte];
}

} // namespace

TEST(WatermarkHalftone, StrideIsWholeWordsWithoutWrapping)
{
    const struct {
        int64_t width;
        int64_t stride;
    } cases[] = {{1, 4}, {32, 4}, {33, 8}, {64, 8}, {100, 16}, {4960, 620}, {7016, 880},
                 {524288, 65536}, {524289, 65540}, {2147483647, 268435456}};
    for (const auto& c : cases)
        EXPECT_EQ(WM_Stride(c.width), c.stride) << c.width;
}

TEST(WatermarkHalftone, DensityLevels)
{
    const struct {
        unsigned density;
        int level;
    } cases[] = {{20, 30}, {39, 30}, {40, 54}, {59, 54}, {60, 84}, {79, 84}, {80, 114}, {99, 114}, {100, 150}};
    for (const auto& c : cases)
        EXPECT_EQ(WM_DensityLevel(c.density), c.level) << c.density;
}

TEST(WatermarkHalftone, MaskIsMirroredWithinEachGroupOfEight)
{
    std::vector<uint8_t> table(16 * 16, 255);
    table[0] = 0;             // row 0, column 0: the bit of value 1
    table[7] = 30;            // row 0, column 7: the bit of value 128
    table[9] = 31;            // above the level: stays off
    table[16 + 10] = 29;      // row 1, column 10: second byte, bit of value 4
    WM_DotMask mask;
    mask.fill(0x5A);
    WM_BuildDotMask(table.data(), 16, 16, 30, &mask);
    EXPECT_EQ(MaskAt(mask, 0, 0), 0x81);
    EXPECT_EQ(MaskAt(mask, 0, 1), 0x00);
    EXPECT_EQ(MaskAt(mask, 1, 0), 0x00);
    EXPECT_EQ(MaskAt(mask, 1, 1), 0x04);
    EXPECT_EQ(MaskAt(mask, 0, 2), 0x00) << "bytes past the table width are zero";
    EXPECT_EQ(MaskAt(mask, 16, 0), 0x00) << "rows past the table height are zero";
}

TEST(WatermarkHalftone, MaskOnShareMatchesTheTableAtEveryLevel)
{
    for (uint32_t type : {0u, 1u, 6u}) {
        const HalftoneTable& t = WM_HalftoneTableFor(type);
        for (unsigned density : {20u, 40u, 60u, 80u, 100u}) {
            const int level = WM_DensityLevel(density);
            WM_DotMask mask;
            WM_BuildDotMask(t.data, t.size, t.size, level, &mask);
            int bits = 0, entries = 0;
            for (int r = 0; r < t.size; ++r) {
                for (int x = 0; x < t.size / 8; ++x)
                    bits += __builtin_popcount(MaskAt(mask, r, x));
            }
            for (int i = 0; i < t.size * t.size; ++i)
                entries += t.data[i] <= level;
            EXPECT_EQ(bits, entries) << type << " at " << density;
        }
    }
}

TEST(WatermarkHalftone, PassKeepsBlackOnlyUnderMaskBitsAndLeavesWhite)
{
    std::vector<uint8_t> table = CountingTable();
    WM_DotMask mask;
    WM_BuildDotMask(table.data(), 16, 16, 30, &mask);
    ASSERT_EQ(MaskAt(mask, 0, 0), 0xFF);
    ASSERT_EQ(MaskAt(mask, 0, 1), 0xFF);
    ASSERT_EQ(MaskAt(mask, 1, 0), 0xFF);
    ASSERT_EQ(MaskAt(mask, 1, 1), 0x7F);

    const size_t stride = 8, height = 35;
    std::vector<uint8_t> picture(stride * height, 0x00);  // all black
    picture[3] = 0xFF;                                     // one white byte in row 0
    picture[stride + 5] = 0x0F;                            // half black in row 1
    WM_HalftonePass(picture.data(), stride, height, mask, 16, 16);

    for (size_t j = 0; j < height; ++j) {
        for (size_t k = 0; k < stride; ++k) {
            uint8_t expected = 0xFF;  // rows 2-15 of the mask are empty
            if (j % 16 == 0)
                expected = 0x00;
            else if (j % 16 == 1)
                expected = k % 2 ? 0x80 : 0x00;
            if (j == 0 && k == 3)
                expected = 0xFF;
            if (j == 1 && k == 5)
                expected = 0x8F;  // NOT(0x7F AND NOT 0x0F)
            EXPECT_EQ(picture[j * stride + k], expected) << "row " << j << " byte " << k;
        }
    }
}

TEST(WatermarkHalftone, PassOverLongRowsRepeatsTheMaskEveryTableWidth)
{
    // Rows longer than the internal run of mask bytes, and a table whose
    // width in bytes does not divide it.
    std::vector<uint8_t> table(24 * 16);
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = static_cast<uint8_t>((i * 37) % 251);
    WM_DotMask mask;
    WM_BuildDotMask(table.data(), 24, 16, 114, &mask);
    const size_t stride = 700, height = 40;
    std::vector<uint8_t> picture(stride * height);
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<uint8_t>(i * 13);
    std::vector<uint8_t> before = picture;
    WM_HalftonePass(picture.data(), stride, height, mask, 24, 16);
    for (size_t j = 0; j < height; ++j) {
        for (size_t k = 0; k < stride; ++k) {
            uint8_t b = before[j * stride + k];
            uint8_t m = MaskAt(mask, static_cast<int>(j % 16), static_cast<int>(k % 3));
            ASSERT_EQ(picture[j * stride + k], static_cast<uint8_t>(~(m & ~b))) << j << "," << k;
        }
    }
}

TEST(WatermarkBmp, HeaderOfASmallPictureByteForByte)
{
    const std::array<uint8_t, 62> expected = {
        'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0,           // file header: 62 + 8 x 2
        40, 0, 0, 0, 33, 0, 0, 0, 2, 0, 0, 0, 1, 0, 1, 0,         // size, width 33, height 2, planes, bits
        0, 0, 0, 0, 16, 0, 0, 0, 0x46, 0x5C, 0, 0, 0x46, 0x5C, 0, 0,  // no compression, image, 23622 ppm
        2, 0, 0, 0, 2, 0, 0, 0,                                   // colours used, important
        0, 0, 0, 0, 255, 255, 255, 0};                            // black, white
    EXPECT_EQ(WM_BmpHeader(33, 2, 600), expected);
}

TEST(WatermarkBmp, RowsPerWriteStayWithinTheLimitAndAboveZero)
{
    EXPECT_EQ(WM_RowsPerWrite(620), 10405u);
    EXPECT_EQ(WM_RowsPerWrite(880), 7330u);
    EXPECT_EQ(WM_RowsPerWrite(4), 1612800u);
    EXPECT_EQ(WM_RowsPerWrite(6451200), 1u);
    EXPECT_EQ(WM_RowsPerWrite(6451204), 1u) << "a row longer than a piece is still written";
}
