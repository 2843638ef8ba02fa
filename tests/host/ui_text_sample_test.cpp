#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/message_table.h"
#include "display/ui_text_sample.h"

namespace {

// The lines of text, each of which must end in CR LF.
std::vector<std::u16string> CrLfLines(const std::u16string& text)
{
    std::vector<std::u16string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(u"\r\n", start)) != std::u16string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the last line ends in CR LF";
    return lines;
}

} // namespace

TEST(UITextSample, SectionStringWithEveryKeyInOrderAsUtf16WithMark)
{
    const std::u16string text = SM_UITextSample();
    std::vector<std::u16string> expected = {u"[string]", u"codepage=0"};
    for (const CaptionRow& caption : {kGroupCaption, kDeleteCaption, kContinueCaption})
        expected.push_back(std::u16string(caption.key) + u"=" + caption.text);
    for (int i = 0; i < kMessageRows; ++i)
        expected.push_back(std::u16string(SM_MessageRows()[i].key) + u"=" + SM_MessageRows()[i].text);

    std::vector<std::u16string> lines;
    for (const std::u16string& line : CrLfLines(text)) {
        EXPECT_EQ(line.find_first_of(u"\r\n"), std::u16string::npos) << "no lone CR or LF";
        if (line.empty() || line[0] != u';')
            lines.push_back(line);
    }
    EXPECT_EQ(lines, expected);

    std::vector<unsigned char> bytes = SM_UITextSampleBytes();
    ASSERT_EQ(bytes.size(), 2 + 2 * text.size());
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    for (size_t i = 0; i < text.size(); ++i)
        EXPECT_EQ(bytes[2 + 2 * i] | bytes[3 + 2 * i] << 8, text[i]) << i;
}
