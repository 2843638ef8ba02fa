#include <gtest/gtest.h>

#include <string>

#include "prompts/prompt_texts.h"

namespace {

std::string Narrow(std::u16string_view text)
{
    std::string out;
    for (char16_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

} // namespace

// The expected texts are spelt with escapes, so a source file saved in the
// wrong encoding or read with the wrong input charset shows up here.
TEST(PromptTexts, EveryRowInEveryLanguageColumn)
{
    const struct {
        int row;
        std::u16string_view english, traditional, simplified;
    } rows[] = {
        {0, u"Storage Print",
         u"\u5132\u5B58\u5217\u5370-\u4FDD\u5B58",
         u"\u50A8\u5B58\u5217\u5370-\u4FDD\u5B58"},
        {1, u"Security Print",
         u"\u5132\u5B58\u5217\u5370-\u52A0\u5BC6",
         u"\u50A8\u5B58\u5217\u5370-\u5B89\u5168"},
        {2, u"ID:",
         u"\u5DE5\u4F5C\u540D\u7A31:",
         u"\u5DE5\u4F5C\u540D\u79F0:"},
        {3, u"Please enter English characters or digits. Up to 16 characters or digits are allowed. ID redundant will add on the serial number automatically behind input ID.",
         u"\u8ACB\u8F38\u5165\u82F1\u6587\u5B57\u6BCD\u6216\u6578\u5B57\uFF0C\u6700\u591A\u8F38\u516516\u500B\u5B57\u5143\uFF0C\u540D\u7A31\u91CD\u8986\u6703\u81EA\u52D5\u5728\u8F38\u5165\u7684\u540D\u7A31\u5F8C\u65B9\u52A0\u4E0A\u6D41\u6C34\u865F\u3002",
         u"\u8BF7\u8F93\u5165\u82F1\u6587\u5B57\u6BCD\u6216\u6570\u5B57\uFF0C\u6700\u591A\u8F93\u516516\u4E2A\u5B57\u5143\uFF0C\u540D\u79F0\u91CD\u8986\u4F1A\u81EA\u52A8\u5728\u8F93\u5165\u7684\u540D\u79F0\u540E\u65B9\u52A0\u4E0A\u6D41\u6C34\u53F7\u3002"},
        {4, u"Password:",
         u"\u5BC6\u78BC:",
         u"\u5BC6\u7801:"},
        {5, u"Please enter English characters or digits. Up to 16 digits are allowed.",
         u"\u8ACB\u8F38\u5165\u82F1\u6587\u5B57\u6BCD\u6216\u6578\u5B57\uFF0C\u6700\u591A\u8F38\u516516\u500B\u5B57\u5143\u3002",
         u"\u8BF7\u8F93\u5165\u82F1\u6587\u5B57\u6BCD\u6216\u6570\u5B57\uFF0C\u6700\u591A\u8F93\u516516\u4E2A\u5B57\u5143\u3002"},
        {6, u"Delete this file after printing.",
         u"\u5217\u5370\u5F8C\u522A\u9664",
         u"\u6253\u5370\u540E\u5220\u9664"},
        {7, u"OK",
         u"\u78BA\u5B9A",
         u"\u786E\u5B9A"},
        {8, u"User authentication",
         u"\u4F7F\u7528\u8005\u8A8D\u8B49",
         u"\u4F7F\u7528\u8005\u8BA4\u8BC1"},
        {9, u"User Name:",
         u"\u4F7F\u7528\u8005\u540D\u7A31:",
         u"\u4F7F\u7528\u8005\u540D\u79F0:"},
        {10, u"Please enter English characters or digits. Up to 28 characters or digits are allowed.",
         u"\u8ACB\u8F38\u5165\u82F1\u6587\u5B57\u6BCD\u6216\u6578\u5B57\uFF0C\u6700\u591A\u8F38\u516528\u500B\u5B57\u5143\u3002",
         u"\u8BF7\u8F93\u5165\u82F1\u6587\u5B57\u6BCD\u6216\u6570\u5B57\uFF0C\u6700\u591A\u8F93\u516528\u4E2A\u5B57\u5143\u3002"},
        {11, u"Password:",
         u"\u5BC6\u78BC:",
         u"\u5BC6\u7801:"},
        {12, u"Please enter English characters or digits. Up to 28 digits are allowed.",
         u"\u8ACB\u8F38\u5165\u82F1\u6587\u5B57\u6BCD\u6216\u6578\u5B57\uFF0C\u6700\u591A\u8F38\u516528\u500B\u5B57\u5143\u3002",
         u"\u8BF7\u8F93\u5165\u82F1\u6587\u5B57\u6BCD\u6216\u6570\u5B57\uFF0C\u6700\u591A\u8F93\u516528\u4E2A\u5B57\u5143\u3002"},
        {13, u"OK",
         u"\u78BA\u5B9A",
         u"\u786E\u5B9A"},
    };
    ASSERT_EQ(std::size(rows), static_cast<size_t>(kPromptRows));
    for (const auto& r : rows) {
        EXPECT_EQ(std::u16string_view(SM_PromptText(r.row, 0)), r.english) << "row " << r.row;
        EXPECT_EQ(std::u16string_view(SM_PromptText(r.row, 1)), r.traditional) << "row " << r.row;
        EXPECT_EQ(std::u16string_view(SM_PromptText(r.row, 2)), r.simplified) << "row " << r.row;
        for (int column = 3; column < kPromptLanguages; ++column)
            EXPECT_EQ(std::u16string_view(SM_PromptText(r.row, column)), r.english)
                << "row " << r.row << " column " << column << ": " << Narrow(SM_PromptText(r.row, column));
    }
}

TEST(PromptTexts, ChinesePasswordHintOfAccountingMatchesTheUserNameHint)
{
    for (int column : {1, 2})
        EXPECT_EQ(std::u16string_view(SM_PromptText(kPromptActPasswordHint, column)),
                  std::u16string_view(SM_PromptText(kPromptUserHint, column)));
    EXPECT_NE(std::u16string_view(SM_PromptText(kPromptActPasswordHint, 0)),
              std::u16string_view(SM_PromptText(kPromptUserHint, 0)));
}

TEST(PromptTexts, OutOfRangeIndexesStayInsideTheTable)
{
    for (int language : {-1, 13, 1028, -2147483647 - 1})
        EXPECT_EQ(std::u16string_view(SM_PromptText(kPromptSecureOk, language)), u"OK") << language;
    for (int row : {-1, 14, 1000})
        EXPECT_EQ(std::u16string_view(SM_PromptText(row, 1)), u"") << row;
}

// The message of answers that did not reach the printer driver: the same
// first sentence for every reason, then the reason, in the prompt's script.
TEST(PromptTexts, FailureMessageSaysWhatAndWhyInEachScript)
{
    const PromptFailure reasons[] = {PromptFailure::kNoPrinter, PromptFailure::kRefused, PromptFailure::kNotTaken};
    const struct {
        int column;
        std::u16string_view first;    // the sentence every reason begins with
        std::u16string_view printer;  // the script's word for printer, in every reason
    } scripts[] = {
        {0, u"Your answers could not be handed to the printer driver.\n\n", u"printer"},
        {1, u"\u7121\u6CD5\u5C07\u60A8\u8F38\u5165\u7684\u8CC7\u6599\u4EA4\u7D66\u5370\u8868\u6A5F\u9A45\u52D5\u7A0B\u5F0F\u3002\n\n",
         u"\u5370\u8868\u6A5F"},
        {2, u"\u65E0\u6CD5\u5C06\u60A8\u8F93\u5165\u7684\u4FE1\u606F\u4EA4\u7ED9\u6253\u5370\u673A\u9A71\u52A8\u7A0B\u5E8F\u3002\n\n",
         u"\u6253\u5370\u673A"},
    };
    for (const auto& script : scripts) {
        std::u16string previous;
        for (PromptFailure why : reasons) {
            std::u16string text = SM_PromptFailureText(why, script.column);
            SCOPED_TRACE("column " + std::to_string(script.column) + ": " + Narrow(text));
            ASSERT_EQ(text.compare(0, script.first.size(), script.first), 0);
            std::u16string reason = text.substr(script.first.size());
            EXPECT_NE(reason.find(script.printer), std::u16string::npos);
            EXPECT_NE(reason, previous) << "each reason has its own text";
            previous = reason;
        }
    }
    EXPECT_EQ(SM_PromptFailureText(PromptFailure::kRefused, 0),
              u"Your answers could not be handed to the printer driver.\n\nThe printer refused access: this user "
              u"account may not store them. Ask your administrator for the right to manage this printer.");
    for (int column : {3, 12, -1, 1028})
        EXPECT_EQ(SM_PromptFailureText(PromptFailure::kNotTaken, column), SM_PromptFailureText(PromptFailure::kNotTaken, 0))
            << column;
}
