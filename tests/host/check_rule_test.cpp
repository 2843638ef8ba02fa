#include <gtest/gtest.h>

#include <string>

#include "prompts/check_rule.h"

using namespace std::string_view_literals;

namespace {

bool Passes(std::u16string_view text, unsigned kind)
{
    return MISC_PassingPrefix(text.data(), text.size(), kind) == text.size();
}

std::string Show(std::u16string_view text)
{
    std::string out;
    for (char16_t c : text) {
        char buffer[8];
        snprintf(buffer, sizeof buffer, c >= 0x20 && c < 0x7F ? "%c" : "<%04X>", static_cast<unsigned>(c));
        out += buffer;
    }
    return out;
}

} // namespace

TEST(CheckRule, EachKindOnTypicalAndHostileTexts)
{
    const struct {
        unsigned kind;
        std::u16string_view text;
        bool passes;
    } cases[] = {
        // 0: printable ASCII, space and tilde included
        {0, u"Secret pass~word 12!", true},
        {0, u"tab\there", false},
        {0, u"caf\u00E9", false},
        {0, u"\u5BC6\u78BC", false},
        {0, u"nul\0x"sv, false},  // a NUL inside the length counts too
        // 1: letters refused, everything else passes
        {1, u"123-456 #!", true},
        {1, u"12a", false},
        {1, u"\t\x7F\xD800\U0001F600", true},
        // 2: digits refused
        {2, u"abc-XYZ #!", true},
        {2, u"ab7", false},
        {2, u"0", false},
        // 3: job ID and user name
        {3, u"Job.ID-2_x@host;a b#9", true},
        {3, u"ab/", false},
        {3, u"a+b", false},
        {3, u"\uFF11", false},
        {3, u"\u00E9", false},
        {3, u"\U0001F600", false},
        // 4: dial string
        {4, u"0123456789*#Pp!", true},
        {4, u"12 3", false},
        {4, u"12,3", false},
        // 5: only the vertical bar is refused
        {5, u"anything \t\x01\u4E2D!", true},
        {5, u"a|b", false},
        // any other kind accepts everything
        {6, u"\x01\x1F\x7F|/\uFFFF", true},
        {0xFFFFFFFFu, u"\t|", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Passes(c.text, c.kind), c.passes) << "kind " << c.kind << " text " << Show(c.text);
}

TEST(CheckRule, EveryAsciiUnitOfTheIdAndDialRules)
{
    const std::u16string id = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz.-_@; #";
    const std::u16string dial = u"0123456789Pp!*#";
    for (char16_t c = 0; c < 0x100; ++c) {
        EXPECT_EQ(MISC_UnitPasses(c, kCheckIdText), id.find(c) != std::u16string::npos) << std::hex << c;
        EXPECT_EQ(MISC_UnitPasses(c, kCheckDialString), dial.find(c) != std::u16string::npos) << std::hex << c;
        EXPECT_EQ(MISC_UnitPasses(c, kCheckPrintableAscii), c >= 0x20 && c <= 0x7E) << std::hex << c;
    }
}

TEST(CheckRule, AsciiLettersAndDigitsOfTheRuntimeClassification)
{
    // Beyond ASCII the runtime decides (Windows classifies all of Unicode);
    // the ASCII range reads the same everywhere.
    for (char16_t c = 0; c < 0x80; ++c) {
        bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
        bool digit = c >= u'0' && c <= u'9';
        EXPECT_EQ(MISC_UnitPasses(c, kCheckNoLetters), !letter) << std::hex << c;
        EXPECT_EQ(MISC_UnitPasses(c, kCheckNoDigits), !digit) << std::hex << c;
    }
    // A lone surrogate is no letter or digit, as a 16-bit runtime sees it.
    for (char16_t c : {u'\xD800', u'\xDBFF', u'\xDC00', u'\xDFFF'}) {
        EXPECT_TRUE(MISC_UnitPasses(c, kCheckNoLetters));
        EXPECT_TRUE(MISC_UnitPasses(c, kCheckNoDigits));
    }
}

TEST(CheckRule, OnlyTheGivenLengthIsExamined)
{
    const char16_t text[] = u"ab/cd";
    EXPECT_EQ(MISC_PassingPrefix(text, 2, kCheckIdText), 2u);
    EXPECT_EQ(MISC_PassingPrefix(text, 5, kCheckIdText), 2u) << "stops at the first refused unit";
    EXPECT_EQ(MISC_PassingPrefix(text, 0, kCheckIdText), 0u);
    EXPECT_EQ(MISC_PassingPrefix(nullptr, 0, kCheckIdText), 0u) << "an empty text passes";
    EXPECT_EQ(MISC_PassingPrefix(nullptr, 3, kCheckIdText), 0u) << "no text cannot pass a length";

    // No terminator: reading past the length would be an overrun under ASan.
    char16_t* unterminated = new char16_t[3]{u'x', u'y', u'z'};
    EXPECT_EQ(MISC_PassingPrefix(unterminated, 3, kCheckNoBar), 3u);
    delete[] unterminated;
}
