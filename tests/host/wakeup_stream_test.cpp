#include <gtest/gtest.h>

#include <vector>

#include "preheat/wakeup_stream.h"

namespace {

// The stream as the printer documentation lists it, byte by byte.
constexpr unsigned char kExpected[] = {
    0x1B, 0x45, 0x1B, 0x25, 0x2D, 0x31, 0x32, 0x33, 0x34, 0x35, 0x58, 0x40, 0x50, 0x4A, 0x4C, 0x20,
    0x57, 0x41, 0x4B, 0x45, 0x55, 0x50, 0x0D, 0x0A, 0x40, 0x50, 0x4A, 0x4C, 0x20, 0x50, 0x52, 0x45,
    0x48, 0x45, 0x41, 0x54, 0x0D, 0x0A, 0x40, 0x50, 0x4A, 0x4C, 0x20, 0x53, 0x45, 0x54, 0x20, 0x54,
    0x49, 0x4D, 0x45, 0x4F, 0x55, 0x54, 0x3D, 0x35, 0x0D, 0x0A, 0x40, 0x50, 0x4A, 0x4C, 0x20, 0x45,
    0x4F, 0x4A, 0x0D, 0x0A, 0x1B, 0x25, 0x2D, 0x31, 0x32, 0x33, 0x34, 0x35, 0x58,
};

} // namespace

TEST(WakeUpStream, IsThe77DocumentedBytes)
{
    static_assert(sizeof(kExpected) == 77);
    ASSERT_EQ(kWakeUpStreamBytes, sizeof(kExpected));
    EXPECT_EQ(std::vector<unsigned char>(kWakeUpStream, kWakeUpStream + kWakeUpStreamBytes),
              std::vector<unsigned char>(kExpected, kExpected + sizeof(kExpected)));
}

TEST(WakeUpStream, JobPageIsStreamZerosStream)
{
    PreheatPiece pieces[kPreheatPieces];
    MISC_PreheatPieces(kWakeUpStream, kWakeUpStreamBytes, pieces);
    std::vector<unsigned char> page;
    for (const PreheatPiece& piece : pieces)
        page.insert(page.end(), piece.data, piece.data + piece.size);

    ASSERT_EQ(page.size(), 666u);
    std::vector<unsigned char> expected(kExpected, kExpected + 77);
    expected.resize(77 + 512, 0);
    expected.insert(expected.end(), kExpected, kExpected + 77);
    EXPECT_EQ(page, expected);
}
