#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/status_syntax.h"

namespace {

struct Parsed {
    std::vector<int> codes;
    std::u16string store;
    int tail[kErrCodeSlots];
};

Parsed Parse(std::u16string_view status, std::u16string_view storeBefore = u"old")
{
    Parsed p;
    int list[kErrCodeSlots] = {};
    char16_t store[260];
    std::u16string(storeBefore).copy(store, storeBefore.size());
    store[storeBefore.size()] = u'\0';
    int count = SM_ParseStatus(status, list, store, 260);
    p.codes.assign(list, list + count);
    for (int i = 0; i < kErrCodeSlots; ++i)
        p.tail[i] = list[i];
    p.store = store;
    return p;
}

std::string Narrow(std::u16string_view s)
{
    return std::string(s.begin(), s.end());
}

} // namespace

TEST(StatusSyntax, ParsesTheDocumentedForms)
{
    const struct {
        std::u16string_view status;
        std::vector<int> codes;
        std::u16string store;
    } cases[] = {
        {u"33|5|", {33, 5}, u"old"},
        {u"277|StoreName|Weekly report|", {277}, u"Weekly report"},
        {u"112|7|", {7}, u"old"},
        {u"7", {}, u"old"},
        {u"33|5", {33}, u"old"},
        {u"|", {0}, u"old"},
        {u"", {}, u"old"},
        {u"112|", {}, u"old"},
        {u"112|33|", {33}, u"old"},
        {u"StoreName|A|StoreName|B|", {}, u"B"},
        {u"StoreName||", {}, u""},
        {u"33||5|", {33, 0, 5}, u"old"},
        {u" -4|+6|x9|12ab|", {-4, 6, 0, 12}, u"old"},
        {u"storename|A|", {0, 0}, u"old"},           // the token is case-sensitive
        {u" StoreName|A|", {0, 0}, u"old"},          // and whole
        {u"StoreName|Weekly", {}, u"old"},           // an unclosed name keeps the old one
        {u"33|StoreName|", {33}, u"old"},
        {u"99999999999|", {2147483647}, u"old"},
    };
    for (const auto& c : cases) {
        Parsed p = Parse(c.status);
        EXPECT_EQ(p.codes, c.codes) << Narrow(c.status);
        EXPECT_EQ(p.store, c.store) << Narrow(c.status);
    }
}

TEST(StatusSyntax, KeepsTheFirst48CodesAndLeavesTheRestOfTheListZero)
{
    std::u16string status;
    for (int i = 1; i <= 60; ++i) {
        std::string digits = std::to_string(i);
        status += std::u16string(digits.begin(), digits.end()) + u"|";
    }
    status += u"StoreName|late|";
    Parsed p = Parse(status);
    ASSERT_EQ(p.codes.size(), 48u);
    EXPECT_EQ(p.codes.front(), 1);
    EXPECT_EQ(p.codes.back(), 48);
    EXPECT_EQ(p.store, u"late") << "a store name after the 48th code still counts";

    Parsed shortList = Parse(u"33|5|");
    for (int i = 2; i < kErrCodeSlots; ++i)
        EXPECT_EQ(shortList.tail[i], 0) << i;
}

TEST(StatusSyntax, CutsALongStoreNameToItsBuffer)
{
    int list[kErrCodeSlots] = {};
    char16_t store[8] = u"";
    EXPECT_EQ(SM_ParseStatus(u"StoreName|0123456789|277|", list, store, 8), 1);
    EXPECT_EQ(std::u16string(store), u"0123456");
    EXPECT_EQ(list[0], 277);
}
