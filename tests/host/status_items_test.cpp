#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "display/status_items.h"

namespace {

struct Sorted {
    std::vector<int> codes;  // in the order handed back
    std::vector<int> left;   // record positions of the left column
    std::vector<int> right;
};

Sorted SortOf(StatusItemTable& table, std::vector<int> list)
{
    SM_MarkStatusItems(table, list.data(), static_cast<int>(list.size()));
    int indices[kMaxShownItems];
    int n = SM_SortXYCoordinate(table, indices);
    Sorted s;
    int m = SM_LeftColumnCount(n);
    for (int i = 0; i < n; ++i) {
        s.codes.push_back(table[indices[i]].code);
        (i < m ? s.left : s.right).push_back(indices[i]);
    }
    return s;
}

Sorted SortOf(std::vector<int> list)
{
    StatusItemTable table = kStatusItemTable;
    return SortOf(table, list);
}

} // namespace

TEST(StatusItems, TableHoldsTheDotsOfTheDocumentedParts)
{
    const struct {
        int position, code, dotX, dotY, kind;
    } cases[] = {
        {0, 1, 0, 0, 0},     {4, 5, 92, 101, 0},   {21, 257, 28, 113, 1}, {29, 265, 94, 58, 0},
        {30, 265, 58, 88, 3}, {40, 276, 0, 0, 0},  {41, 275, 0, 0, 0},    {44, 279, 91, 141, 2},
        {47, 282, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const StatusItem& item = kStatusItemTable[c.position];
        EXPECT_EQ(item.code, c.code) << c.position;
        EXPECT_EQ(item.dotX, c.dotX) << c.position;
        EXPECT_EQ(item.dotY, c.dotY) << c.position;
        EXPECT_EQ(item.kind, c.kind) << c.position;
    }
    for (const StatusItem& item : kStatusItemTable)
        EXPECT_EQ(item.shown, 0) << item.code;
}

TEST(StatusItems, MarkingSetsBothRecordsOf265AndForgetsTheLastList)
{
    StatusItemTable table = kStatusItemTable;
    int first[] = {5, 33};
    SM_MarkStatusItems(table, first, 2);
    int second[] = {265, 129};
    SM_MarkStatusItems(table, second, 2);
    std::vector<int> shown;
    for (int i = 0; i < kStatusItemCount; ++i) {
        if (table[i].shown)
            shown.push_back(i);
    }
    EXPECT_EQ(shown, (std::vector<int>{29, 30}));
}

TEST(StatusItems, SplitsIntoColumnsAndOrdersThem)
{
    // One item: the left column.
    Sorted one = SortOf({33});
    EXPECT_EQ(one.left, std::vector<int>{8});
    EXPECT_TRUE(one.right.empty());

    // 33 (no dot) sorts first by dotX; the left column then goes by dotY.
    Sorted two = SortOf({33, 5});
    EXPECT_EQ(two.codes, (std::vector<int>{33, 5}));
    EXPECT_EQ(two.left.size(), 1u);

    // Three items: two left, one right; dotX 0 < 28 < 92.
    Sorted three = SortOf({5, 257, 33});
    EXPECT_EQ(three.left, (std::vector<int>{8, 21}));   // 33 (key 0), 257 (key 293)
    EXPECT_EQ(three.right, (std::vector<int>{4}));

    // 265 displays two items: dotX 58 (lower) and 94 (upper).
    Sorted rear = SortOf({265});
    EXPECT_EQ(rear.codes, (std::vector<int>{265, 265}));
    EXPECT_EQ(rear.left, std::vector<int>{30});
    EXPECT_EQ(rear.right, std::vector<int>{29});
}

TEST(StatusItems, TakesTheFirstTwelveInTableOrder)
{
    Sorted all = SortOf({282, 281, 280, 279, 278, 277, 1, 2, 3, 4, 5, 6, 7, 32, 33});
    ASSERT_EQ(all.codes.size(), 12u);
    std::vector<int> positions = all.left;
    positions.insert(positions.end(), all.right.begin(), all.right.end());
    std::sort(positions.begin(), positions.end());
    EXPECT_EQ(positions, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 42, 43, 44}));
    EXPECT_EQ(all.left.size(), 6u);
    EXPECT_EQ(all.right.size(), 6u);
}

TEST(StatusItems, BreaksTiesLaterFirstOnTheLeftAndEarlierFirstOnTheRight)
{
    // Twelve items without dots all have key 0. The dotX pass keeps table
    // order for equal dotX, so the columns show where the tie rules differ.
    StatusItemTable table = kStatusItemTable;
    Sorted s = SortOf(table, {1, 3, 7, 32, 33, 34, 35, 48, 112, 117, 118, 126});
    // 112 is in the table but the parser never lists it; marked here all the same.
    ASSERT_EQ(s.left.size(), 6u);
    // Left: each position takes the last of the equal keys after it, so the
    // order rotates; right: unchanged.
    EXPECT_EQ(s.left, (std::vector<int>{9, 0, 2, 6, 7, 8}));
    EXPECT_EQ(s.right, (std::vector<int>{10, 11, 13, 14, 15, 16}));
}

TEST(StatusItems, PicturesAreCentredInTheClientArea)
{
    PictureLayout a = SM_PictureLayout(510, 380);
    EXPECT_EQ(a.pictureX, 170);
    EXPECT_EQ(a.upperY, 10);
    EXPECT_EQ(a.lowerY, 200);
    PictureLayout b = SM_PictureLayout(171, 341);  // truncating divisions
    EXPECT_EQ(b.pictureX, 0);
    EXPECT_EQ(b.upperY, 0);
    EXPECT_EQ(b.lowerY, 170);
    PictureLayout c = SM_PictureLayout(100, 100);  // smaller than a picture
    EXPECT_EQ(c.pictureX, -35);
    EXPECT_EQ(c.upperY, -60);
}

TEST(StatusItems, ScalingToTheDisplay)
{
    // Half-way values round up, as the picture generator rounds them.
    EXPECT_EQ(SM_ScaleToDpi(170, 96), 170);
    EXPECT_EQ(SM_ScaleToDpi(170, 120), 213);
    EXPECT_EQ(SM_ScaleToDpi(170, 168), 298);
    EXPECT_EQ(SM_ScaleToDpi(8, 144), 12);
    EXPECT_EQ(SM_ScaleToDpi(1, 144), 2);
    EXPECT_EQ(SM_ScaleToDpi(1, 120), 1);

    PictureLayout at96 = SM_PictureLayout(510, 380);
    EXPECT_EQ(at96.pictureSize, 170);
    EXPECT_EQ(at96.dotSize, 8);
    EXPECT_EQ(at96.framePad, 2);
    EXPECT_EQ(at96.lineWidth, 1);
    PictureLayout at192 = SM_PictureLayout(1020, 760, 192);
    EXPECT_EQ(at192.pictureX, 340);
    EXPECT_EQ(at192.upperY, 20);
    EXPECT_EQ(at192.lowerY, 400);
    EXPECT_EQ(at192.dotSize, 16);
    EXPECT_EQ(at192.framePad, 4);
    EXPECT_EQ(at192.lineWidth, 2);
}

TEST(StatusItems, DotsAndLinesComeFromTheTableScaledOnce)
{
    const StatusItem upper = {5, 92, 101, 1, kKindUpper};
    const StatusItem lower = {257, 28, 113, 1, kKindLowerDuplex};
    PictureLayout at96 = SM_PictureLayout(510, 380);
    ItemMarks a = SM_ItemMarks(upper, at96, false);
    EXPECT_EQ(a.dotX, 170 + 92);
    EXPECT_EQ(a.dotY, 10 + 101);
    EXPECT_EQ(a.edgeX, 170 + 170) << "right column: the picture's right edge";
    EXPECT_EQ(a.lineY, 10 + 101 + 4);
    EXPECT_EQ(a.lineEndX, 170 + 92 + 4);

    PictureLayout at144 = SM_PictureLayout(765, 570, 144);
    ItemMarks b = SM_ItemMarks(lower, at144, true);
    EXPECT_EQ(b.edgeX, at144.pictureX) << "left column: the picture's left edge";
    EXPECT_EQ(b.dotX, at144.pictureX + 42);
    EXPECT_EQ(b.dotY, at144.lowerY + 170);  // 113 * 1.5 = 169.5, rounded up
    EXPECT_EQ(b.lineY, b.dotY + 6);
    EXPECT_EQ(b.lineEndX, b.dotX + 6);
}
