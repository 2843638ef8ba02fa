#include <gtest/gtest.h>

#include <climits>

#include "common/text.h"

TEST(MiscTextToInt, FollowsTheRuntimeRule)
{
    const struct {
        std::u16string_view text;
        int expected;
    } cases[] = {
        {u"", 0},           {u"abc", 0},         {u"42", 42},         {u"-1", -1},
        {u"  +17x", 17},    {u"\t\n-8", -8},     {u"12 34", 12},      {u"- 5", 0},
        {u"2147483647", INT_MAX},                {u"2147483648", INT_MAX},
        {u"-2147483648", INT_MIN},               {u"-99999999999999999999", INT_MIN},
        {u"\uFF11", 0},  // a full-width digit is no digit
    };
    for (const auto& c : cases)
        EXPECT_EQ(MISC_TextToInt(c.text), c.expected) << std::string(c.text.begin(), c.text.end());
}

TEST(MiscCopyText, CutsToTheBufferAndTerminates)
{
    char16_t buffer[6];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(MISC_CopyText(buffer, 6, u"abcdefgh"), 5u);
    EXPECT_EQ(std::u16string(buffer), u"abcde");

    EXPECT_EQ(MISC_CopyText(buffer, 6, u"xy"), 2u);
    EXPECT_EQ(std::u16string(buffer), u"xy");

    EXPECT_EQ(MISC_CopyText(buffer, 1, u"xy"), 0u);
    EXPECT_EQ(buffer[0], u'\0');
    EXPECT_EQ(MISC_CopyText(nullptr, 6, u"xy"), 0u);
}

TEST(MiscAppendText, AppendsWithinTheBuffer)
{
    char16_t buffer[8] = u"abc";
    EXPECT_EQ(MISC_AppendText(buffer, 8, u"defghij"), 7u);
    EXPECT_EQ(std::u16string(buffer), u"abcdefg");

    char16_t unterminated[4] = {u'a', u'b', u'c', u'd'};
    EXPECT_EQ(MISC_AppendText(unterminated, 4, u"x"), 3u);
    EXPECT_EQ(std::u16string(unterminated), u"abc");
}

TEST(MiscTextLength, StopsAtTheCapacity)
{
    const char16_t noTerminator[3] = {u'a', u'b', u'c'};
    EXPECT_EQ(MISC_TextLength(noTerminator, 3), 3u);
    EXPECT_EQ(MISC_TextLength(u"ab", 10), 2u);
    EXPECT_EQ(MISC_TextLength(nullptr, 10), 0u);
}
