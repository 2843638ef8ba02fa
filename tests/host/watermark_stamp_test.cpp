// The stamp of a tiled watermark: its box, the ink found in it, and where
// the device rounds a text origin otherwise than the stamp's.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "watermark/stamp.h"
#include "watermark/text_layout.h"

namespace {

// A white 1-bit picture, top row first, with black pixels set by hand.
struct Mono {
    int width;
    int height;
    size_t stride;
    std::vector<uint8_t> bytes;
    Mono(int w, int h) : width(w), height(h), stride((w + 31) / 32 * 4), bytes(stride * h, 0xFF) {}
    void Black(int x, int y) { bytes[y * stride + x / 8] &= static_cast<uint8_t>(~(0x80 >> (x % 8))); }
};

} // namespace

TEST(WatermarkStamp, BoxHoldsTheRotatedCellWithAMargin)
{
    for (int escapement : {0, 300, 900, 1350, 1800, 2700, 3590}) {
        const WM_TextLayout layout = WM_LayoutText(escapement, {400, 100});
        const WM_StampBox box = WM_StampBoxFor(layout);
        const double angle = escapement * 3.141592653589793 / 1800;
        const double c = std::cos(angle), s = std::sin(angle);
        // Every corner of the cell grown by its height lies inside the box.
        for (double u : {-100.0, 500.0}) {
            for (double v : {-100.0, 200.0}) {
                const double x = box.originX + u * c + v * s, y = box.originY + v * c - u * s;
                EXPECT_GT(x, 0) << escapement;
                EXPECT_LT(x, box.width - 1) << escapement;
                EXPECT_GT(y, 0) << escapement;
                EXPECT_LT(y, box.height - 1) << escapement;
            }
        }
        EXPECT_LE(box.width * box.height, 800 * 800) << "no more than the grown cell's square";
    }
    const WM_StampBox flat = WM_StampBoxFor(WM_LayoutText(0, {400, 100}));
    EXPECT_EQ(flat.width, 400 + 2 * 100 + 3);
    EXPECT_EQ(flat.height, 100 + 2 * 100 + 3);
    EXPECT_EQ(flat.originX, 101);
    EXPECT_EQ(flat.originY, 101);
}

TEST(WatermarkStamp, InkBoundsFindEveryBlackPixelAndIgnoreThePadding)
{
    Mono white(37, 5);
    EXPECT_TRUE(WM_InkBounds(white.bytes.data(), white.stride, 37, 5).Empty());
    // Padding bits past the width are black here; they are not ink.
    white.bytes[4] = 0xF8;
    white.bytes[5] = 0x00;
    EXPECT_TRUE(WM_InkBounds(white.bytes.data(), white.stride, 37, 5).Empty());

    Mono page(37, 5);
    page.Black(36, 1);
    page.Black(3, 3);
    page.Black(8, 3);
    WM_InkBox ink = WM_InkBounds(page.bytes.data(), page.stride, 37, 5);
    EXPECT_EQ(ink.left, 3);
    EXPECT_EQ(ink.right, 37);
    EXPECT_EQ(ink.top, 1);
    EXPECT_EQ(ink.bottom, 4);

    // Bottom-up: the last row of the buffer is the top of the picture.
    const uint8_t* top = page.bytes.data() + 4 * page.stride;
    ink = WM_InkBounds(top, -static_cast<ptrdiff_t>(page.stride), 37, 5);
    EXPECT_EQ(ink.top, 1);
    EXPECT_EQ(ink.bottom, 4);
}

TEST(WatermarkStamp, TopOffsetIsTheRotatedAscent)
{
    const WM_TopOffset flat = WM_TopOffsetFor(30, 0);
    EXPECT_EQ(flat.x, 0.0);
    EXPECT_EQ(flat.y, 30.0);
    EXPECT_EQ(flat.slackY, 0.0) << "no angle is computed at 0";
    const WM_TopOffset thirty = WM_TopOffsetFor(268, 300);
    EXPECT_NEAR(thirty.x, 134.0, 1e-12);
    EXPECT_NEAR(thirty.y, 232.0948, 1e-4);
    const WM_TopOffset down = WM_TopOffsetFor(37, 2700);
    EXPECT_DOUBLE_EQ(down.x, -37.0);
    EXPECT_LT(std::fabs(down.y), 1e-13) << "a rounding residue, not zero";
}

TEST(WatermarkStamp, OriginShiftFollowsTheDevicesTruncation)
{
    int shift = 0;
    // A true offset: toward zero, so one pixel apart across the sign.
    ASSERT_TRUE(WM_OriginShift(0, 18.5, 1e-14, &shift));
    EXPECT_EQ(shift, 18);
    ASSERT_TRUE(WM_OriginShift(-40, 18.5, 1e-14, &shift));
    EXPECT_EQ(shift, 19);
    ASSERT_TRUE(WM_OriginShift(10, -32.04, 1e-14, &shift));
    EXPECT_EQ(shift, -32);
    ASSERT_TRUE(WM_OriginShift(100, -32.04, 1e-14, &shift));
    EXPECT_EQ(shift, -33);

    // A residue of -6.8e-15 takes a pixel below 65 and is lost above it.
    const double residue = -6.8e-15;
    ASSERT_TRUE(WM_OriginShift(63, residue, 6.8e-18, &shift));
    EXPECT_EQ(shift, -1);
    ASSERT_TRUE(WM_OriginShift(64, residue, 6.8e-18, &shift));
    EXPECT_EQ(shift, -1);
    ASSERT_TRUE(WM_OriginShift(65, residue, 6.8e-18, &shift));
    EXPECT_EQ(shift, 0);

    // 133.99999999999997: near the origin a last-bit difference decides.
    const double nearWhole = 133.99999999999997;
    EXPECT_FALSE(WM_OriginShift(0, nearWhole, nearWhole * 4e-16, &shift));
    ASSERT_TRUE(WM_OriginShift(1000, nearWhole, nearWhole * 4e-16, &shift));
    EXPECT_EQ(shift, 134);
}
