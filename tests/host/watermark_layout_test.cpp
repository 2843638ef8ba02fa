// Geometry of the watermark text: font height, angle, the box of the rotated
// text, where the text starts in it, centring and the tiling grid.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "watermark/text_layout.h"

namespace {

using Points = std::vector<std::pair<int, int>>;

Points Copies(int angle, WM_Size text, int drawW, int drawH, unsigned placement, int units)
{
    Points out;
    WM_ForEachCopy(WM_LayoutText(WM_Escapement(angle), text), drawW, drawH, placement, units,
                   [&](int x, int y) { out.emplace_back(x, y); });
    return out;
}

} // namespace

TEST(WatermarkLayout, FontHeightAndEscapement)
{
    EXPECT_EQ(WM_FontHeight(288, 276), 13952u);
    EXPECT_EQ(WM_FontHeight(72, 69), 4968u);
    EXPECT_EQ(WM_FontHeight(1, 3), 3u);
    EXPECT_EQ(WM_Escapement(0), 0);
    EXPECT_EQ(WM_Escapement(45), 450);
    EXPECT_EQ(WM_Escapement(359), 3590);
    EXPECT_EQ(WM_Escapement(360), 0);
    EXPECT_EQ(WM_LogFontHeight(6624), 662);
    EXPECT_EQ(WM_LogFontHeight(4), 0);
    EXPECT_EQ(WM_LogFontHeight(5), 1);
    EXPECT_EQ(WM_LogFontHeight(-15), 2);
}

TEST(WatermarkLayout, RightAnglesAndFortyFive)
{
    const struct {
        int angle;
        WM_Size rotated;
        int startX;
        int startY;
    } cases[] = {
        {0, {400, 100}, 0, 0},
        {360, {400, 100}, 0, 0},
        {90, {100, 400}, 0, 400},
        {180, {400, 100}, 400, 100},
        {270, {100, 400}, 100, 0},
        {45, {282, 282}, 0, 282},  // the height does not count away from right angles
    };
    for (const auto& c : cases) {
        WM_TextLayout l = WM_LayoutText(WM_Escapement(c.angle), {400, 100});
        EXPECT_EQ(l.szRotateText.cx, c.rotated.cx) << c.angle;
        EXPECT_EQ(l.szRotateText.cy, c.rotated.cy) << c.angle;
        EXPECT_EQ(l.iStartX, c.startX) << c.angle;
        EXPECT_EQ(l.iStartY, c.startY) << c.angle;
    }
}

// In every quadrant the rotated baseline runs from the start point to the
// opposite corner of the box, and never leaves it.
TEST(WatermarkLayout, BaselineSpansTheBoxInEveryQuadrant)
{
    const double pi = 3.141592653589793;
    const double kSlack = 1.5;  // box and start point are each cut to whole pixels
    for (int angle = 1; angle < 360; ++angle) {
        if (angle % 90 == 0)
            continue;
        WM_TextLayout l = WM_LayoutText(WM_Escapement(angle), {400, 100});
        double endX = l.iStartX + 400 * std::cos(angle * pi / 180);
        double endY = l.iStartY - 400 * std::sin(angle * pi / 180);
        for (double x : {double(l.iStartX), endX})
            EXPECT_TRUE(x > -kSlack && x < l.szRotateText.cx + kSlack) << angle << ": x " << x;
        for (double y : {double(l.iStartY), endY})
            EXPECT_TRUE(y > -kSlack && y < l.szRotateText.cy + kSlack) << angle << ": y " << y;
        EXPECT_NEAR(std::fabs(endX - l.iStartX), l.szRotateText.cx, kSlack) << angle;
        EXPECT_NEAR(std::fabs(endY - l.iStartY), l.szRotateText.cy, kSlack) << angle;
    }
}

TEST(WatermarkLayout, OneCopyIsCentred)
{
    EXPECT_EQ(Copies(0, {400, 100}, 1000, 600, 0, 8), (Points{{300, 250}}));
    EXPECT_EQ(Copies(90, {400, 100}, 1000, 600, 0, 8), (Points{{450, 500}}));
    // A text larger than the area is still centred, the halves truncated to zero.
    EXPECT_EQ(Copies(0, {1001, 603}, 1000, 600, 0, 8), (Points{{0, -1}}));
}

TEST(WatermarkLayout, NothingToDraw)
{
    EXPECT_TRUE(Copies(0, {0, 0}, 1000, 600, 0, 0).empty()) << "empty text";
    EXPECT_TRUE(Copies(0, {400, 100}, 0, 600, 0, 8).empty());
    EXPECT_TRUE(Copies(0, {400, 100}, 1000, 0, 1, 8).empty());
    EXPECT_TRUE(Copies(45, {1, 100}, 1000, 600, 0, 1).empty()) << "the box rounds down to nothing";
}

TEST(WatermarkLayout, TiledGridAtZeroDegrees)
{
    // txtSpace 20, vertical step 21 (text height + 1); centred row at 290,
    // first row 290 - 21 x 14 - 20 = -24, rows 41 apart, columns 120 apart.
    Points got = Copies(0, {100, 20}, 1000, 600, 1, 5);
    Points expected;
    for (int x = 0; x < 1000; x += 120) {
        for (int y = -24; y < 600; y += 41)
            expected.emplace_back(x, y);
    }
    EXPECT_EQ(got, expected);
    EXPECT_EQ(got.size(), 9u * 16u);
}

TEST(WatermarkLayout, TiledGridAtRightAnglesStepsByTheTextWidth)
{
    // 90 degrees: cos below 0.001, so the vertical step is szText.cx = 100;
    // txtSpace 20 / 5 = 4; centred row (300 - 100) / 2 = 100, first row
    // 100 - 100 x 1 - 100 = -100; start (0, 100).
    Points got = Copies(90, {100, 20}, 100, 300, 1, 5);
    Points expected;
    for (int x = 0; x < 100; x += 24) {
        for (int y = -100; y < 300; y += 104)
            expected.emplace_back(x, y + 100);
    }
    EXPECT_EQ(got, expected);
    EXPECT_EQ(Copies(270, {100, 20}, 100, 300, 1, 5).size(), expected.size());
}

TEST(WatermarkLayout, TiledGridAtFortyFiveDegrees)
{
    // Box 70 x 70, txtSpace 14, step int(21 / 0.7071) = 29: rows 43 apart,
    // centred row at (300 - 70) / 2 = 115, first row 115 - 29 x 4 - 70 = -71.
    Points got = Copies(45, {100, 20}, 200, 300, 1, 5);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.front(), std::make_pair(0, -71 + 70));
    EXPECT_EQ(got[1], std::make_pair(0, -71 + 43 + 70));
    int columns = 0;
    for (const auto& p : got)
        columns += p.second == got.front().second;
    EXPECT_EQ(columns, 3) << "columns at 0, 84, 168";
    EXPECT_EQ(got.size(), 3u * 9u);
}

TEST(WatermarkLayout, TiledStepIsCappedByTheTextWidth)
{
    // Close to a right angle the step from the text height, 21 / cos 88 = 601,
    // would exceed the text width; it is capped at szText.cx = 100.
    Points got = Copies(88, {100, 20}, 10, 1000, 1, 5);
    ASSERT_GE(got.size(), 2u);
    WM_TextLayout l = WM_LayoutText(880, {100, 20});
    EXPECT_EQ(got[1].second - got[0].second, 100 + l.szRotateText.cx / 5);
}
