#include <gtest/gtest.h>

#include <set>
#include <string>

#include "display/message_table.h"

namespace {

std::u16string Key(int n)
{
    std::string digits = std::to_string(n);
    return u"msg" + std::u16string(3 - digits.size(), u'0') + std::u16string(digits.begin(), digits.end());
}

} // namespace

TEST(MessageTable, HasOneKeyPerRowInOrderAndOneRowPerCode)
{
    std::set<int> codes;
    for (int i = 0; i < kMessageRows; ++i) {
        const MessageRow& row = SM_MessageRows()[i];
        EXPECT_EQ(std::u16string(row.key), Key(i + 1)) << i;
        EXPECT_TRUE(codes.insert(row.code).second) << "code " << row.code << " twice";
        EXPECT_LT(std::u16string(row.text).size(), kMessageUnits) << row.code;
        EXPECT_EQ(SM_FindMessageRow(row.code), &row) << row.code;
    }
}

TEST(MessageTable, KeepsTheShippedTexts)
{
    const struct {
        int code;
        std::u16string_view key;
        std::u16string_view text;
    } cases[] = {
        {126, u"msg001", u"Power Off or Cable problem."},
        {3, u"msg004", u"Companent Fail."},
        {5, u"msg005", u"Front cover open."},
        {33, u"msg009", u"Paper Jam."},
        {35, u"msg011", u"Paper Mismatch."},
        {130, u"msg013", u"Warm up..."},
        {136, u"msg035", u"Toner empty."},
        {257, u"msg020", u"Duplex modul error."},
        {260, u"msg023", u"Paper jam."},
        {263, u"msg026", u"Paper jam ."},
        {277, u"msg041", u"Store job name change to"},
        {65535, u"msg044", u"Unknow error."},
        {281, u"msg046", u"Please make the printed side face up."},
        {283, u"msg048", u"Paper jam."},
    };
    for (const auto& c : cases) {
        const MessageRow* row = SM_FindMessageRow(c.code);
        ASSERT_NE(row, nullptr) << c.code;
        EXPECT_EQ(std::u16string_view(row->key), c.key) << c.code;
        EXPECT_EQ(std::u16string_view(row->text), c.text) << c.code;
    }
    for (int code : {0, 4, 48, 117, 118, 131, 284, -1})
        EXPECT_EQ(SM_FindMessageRow(code), nullptr) << code;
}

TEST(MessageTable, ComposesTheStoreJobTextWithinTheBuffer)
{
    char16_t out[kMessageUnits];
    SM_ComposeStoreJobText(out, kMessageUnits, u"Store job name change to", u"Weekly report");
    EXPECT_EQ(std::u16string(out), u"Store job name change to Weekly report.");
    SM_ComposeStoreJobText(out, kMessageUnits, u"Store job name change to", u"");
    EXPECT_EQ(std::u16string(out), u"Store job name change to .");

    char16_t guarded[kMessageUnits + 4];
    std::fill(std::begin(guarded), std::end(guarded), u'#');
    std::u16string longName(259, u'n');
    SM_ComposeStoreJobText(guarded, kMessageUnits, u"Store job name change to", longName);
    std::u16string got(guarded);
    EXPECT_EQ(got.size(), kMessageUnits - 1);
    EXPECT_EQ(got.substr(0, 25), u"Store job name change to ");
    EXPECT_EQ(got.back(), u'n');
    for (size_t i = kMessageUnits; i < kMessageUnits + 4; ++i)
        EXPECT_EQ(guarded[i], u'#') << "written past the buffer at " << i;
}
