#include <gtest/gtest.h>

#include <vector>

#include "monitor/spooler_codes.h"

TEST(SpoolerCodes, MapsEveryListedCodeToItsStatusWord)
{
    const struct {
        uint32_t word;
        std::vector<int> codes;
    } rows[] = {
        {0x100000, {1}},
        {0x2, {2, 3, 4, 6, 48, 256, 257, 258, 259, 271, 275, 276, 277}},
        {0x400000, {5, 265, 266, 267, 268}},
        {0x40000, {7}},
        {0x10, {32, 269, 270}},
        {0x8, {33, 260, 261, 262, 263, 264}},
        {0x40, {34, 35, 282}},
        {0x200, {112}},
        {0x80, {126}},
        {0, {129, 131}},
        {0x10000, {130}},
        {0x400, {132}},
        {0x20000, {135}},
    };
    for (const auto& row : rows) {
        for (int code : row.codes) {
            uint32_t word = 0xDEAD;
            EXPECT_TRUE(SM_StatusWordOfCode(code, &word)) << code;
            EXPECT_EQ(word, row.word) << code;
        }
    }
}

TEST(SpoolerCodes, LeavesOtherCodesWithoutAWord)
{
    for (int code : {0, -1, 8, 80, 117, 118, 128, 133, 134, 136, 272, 273, 274, 278, 279, 280, 281, 283, 65535}) {
        uint32_t word = 0xDEAD;
        EXPECT_FALSE(SM_StatusWordOfCode(code, &word)) << code;
        EXPECT_EQ(word, 0xDEADu) << code;
    }
}
