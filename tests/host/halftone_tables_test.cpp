// Every threshold table against what its screen must give: size, range, mean,
// dot shares at the five density levels, the measured first rows and the
// clustered repeat.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "watermark/halftone_tables.h"

namespace {

struct Expected {
    uint32_t type;
    std::u16string name;
    int size;
    int lo;
    int hi;
    double mean;
    double shares[5];
    int row0[8];
    int row1[8];
    double period;  // along rows and columns; not whole for the rotated screen
};

const Expected kExpected[] = {
    {1, u"FINE_TAry_128", 128, 0, 254, 127.0, {12.0, 21.5, 33.3, 45.1, 59.3},
     {67, 51, 59, 114, 190, 206, 198, 143}, {35, 3, 19, 98, 222, 254, 238, 159}, 8},
    {2, u"LSU_106_K60", 64, 0, 255, 139.6, {16.5, 23.9, 32.5, 40.0, 50.2},
     {1, 8, 90, 248, 253, 249, 199, 14}, {4, 36, 127, 233, 250, 240, 172, 46}, 8},
    {3, u"Mollip2_212", 64, 0, 255, 112.1, {23.5, 34.1, 45.5, 56.9, 67.5},
     {7, 49, 254, 153, 13, 62, 245, 134}, {23, 82, 216, 111, 32, 95, 190, 97}, 4},
    {4, u"Kestrin_212", 64, 0, 255, 126.4, {25.9, 32.5, 38.8, 45.1, 53.7},
     {0, 52, 246, 201, 3, 75, 240, 186}, {13, 111, 228, 158, 27, 133, 219, 137}, 4},
    {5, u"Kestrin_106", 64, 1, 255, 127.0, {12.2, 21.6, 33.3, 45.1, 59.2},
     {6, 22, 86, 224, 248, 232, 168, 29}, {14, 46, 110, 200, 240, 208, 144, 53}, 8},
    {6, u"Kestrin_1200_160", 64, 1, 255, 170.1, {12.2, 18.0, 23.5, 29.0, 35.7},
     {1, 7, 54, 239, 255, 255, 255, 253}, {5, 21, 92, 238, 255, 255, 255, 251}, 64.0 / 6},
    {7, u"KX5_A4_1200_106LPI", 64, 1, 255, 127.0, {12.2, 21.6, 33.3, 45.1, 59.2},
     {1, 2, 20, 52, 100, 200, 232, 246}, {4, 10, 26, 60, 106, 188, 220, 242}, 16},
    {8, u"A4_LSU_600_212LPI", 64, 0, 255, 141.1, {27.5, 31.4, 35.7, 40.0, 45.5},
     {0, 58, 255, 231, 0, 95, 251, 221}, {5, 145, 245, 197, 18, 172, 239, 175}, 4},
    {0, u"FINE_TAry_16", 16, 1, 254, 125.2, {21.1, 28.1, 36.7, 46.1, 57.8},
     {6, 82, 233, 254, 251, 226, 70, 5}, {55, 121, 165, 218, 211, 152, 114, 49}, 8},
};

const int kLevels[] = {30, 54, 84, 114, 150};

std::string Name(const std::u16string& name)
{
    return std::string(name.begin(), name.end());
}

// Mean absolute difference between the table and itself shifted by (dy, dx).
double ShiftDistance(const HalftoneTable& t, int dy, int dx)
{
    double sum = 0;
    for (int r = 0; r < t.size; ++r) {
        for (int c = 0; c < t.size; ++c)
            sum += std::abs(t.data[r * t.size + c] - t.data[((r + dy) % t.size) * t.size + (c + dx) % t.size]);
    }
    return sum / (t.size * t.size);
}

} // namespace

TEST(HalftoneTables, SizeRangeMeanAndDotShares)
{
    for (const Expected& e : kExpected) {
        SCOPED_TRACE(Name(e.name));
        const HalftoneTable& t = WM_HalftoneTableFor(e.type);
        ASSERT_EQ(std::u16string(t.name), e.name);
        ASSERT_EQ(t.size, e.size);
        const int n = t.size * t.size;
        int lo = 255, hi = 0;
        long sum = 0;
        for (int i = 0; i < n; ++i) {
            lo = std::min<int>(lo, t.data[i]);
            hi = std::max<int>(hi, t.data[i]);
            sum += t.data[i];
        }
        EXPECT_EQ(lo, e.lo);
        EXPECT_EQ(hi, e.hi);
        EXPECT_EQ(std::lround(10.0 * sum / n), std::lround(10 * e.mean));
        for (int k = 0; k < 5; ++k) {
            int on = 0;
            for (int i = 0; i < n; ++i)
                on += t.data[i] <= kLevels[k];
            EXPECT_EQ(std::lround(1000.0 * on / n), std::lround(10 * e.shares[k])) << "level " << kLevels[k];
        }
    }
}

TEST(HalftoneTables, FirstRowsAreTheMeasuredOnes)
{
    for (const Expected& e : kExpected) {
        const HalftoneTable& t = WM_HalftoneTableFor(e.type);
        for (int c = 0; c < 8; ++c) {
            EXPECT_EQ(t.data[c], e.row0[c]) << Name(e.name) << " row 0 column " << c;
            EXPECT_EQ(t.data[t.size + c], e.row1[c]) << Name(e.name) << " row 1 column " << c;
        }
    }
}

// A cluster comes back one period on, along rows and along columns, while
// half a period on lies the opposite tone; clusters differ only slightly.
TEST(HalftoneTables, ClustersRepeatWithTheScreenPeriod)
{
    for (const Expected& e : kExpected) {
        SCOPED_TRACE(Name(e.name));
        const HalftoneTable& t = WM_HalftoneTableFor(e.type);
        const int period = static_cast<int>(std::lround(e.period));
        const int half = static_cast<int>(e.period / 2);
        EXPECT_LT(ShiftDistance(t, 0, period), 0.25 * ShiftDistance(t, 0, half));
        EXPECT_LT(ShiftDistance(t, period, 0), 0.25 * ShiftDistance(t, half, 0));
        EXPECT_GT(ShiftDistance(t, 0, period) + ShiftDistance(t, period, 0), 0) << "clusters all alike";
        if (e.period != period) {
            // The rotated screen never repeats on a whole entry: both
            // neighbours of the period stay further apart than the nearest.
            EXPECT_LT(ShiftDistance(t, 0, period), ShiftDistance(t, 0, period - 1));
            EXPECT_LT(ShiftDistance(t, 0, period), ShiftDistance(t, 0, period + 1));
            EXPECT_GT(ShiftDistance(t, 0, period), 0.0);
        }
    }
}

TEST(HalftoneTables, FineSixteenRepeatsUnderTheDiagonalShift)
{
    const HalftoneTable& t = WM_HalftoneTableFor(0);
    ASSERT_EQ(t.size, 16);
    for (int r = 0; r < 16; ++r) {
        for (int c = 0; c < 16; ++c)
            EXPECT_EQ(t.data[r * 16 + c], t.data[((r + 8) % 16) * 16 + (c + 8) % 16]) << r << "," << c;
    }
}

TEST(HalftoneTables, EveryOtherTypeSelectsFineSixteen)
{
    const HalftoneTable& fine = WM_HalftoneTableFor(0);
    for (uint32_t type : {9u, 10u, 0x200u, 4294967295u})
        EXPECT_EQ(&WM_HalftoneTableFor(type), &fine) << type;
    for (uint32_t type = 1; type <= 8; ++type)
        EXPECT_NE(&WM_HalftoneTableFor(type), &fine) << type;
}
