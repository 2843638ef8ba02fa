#include "display/ui_text_sample.h"

#include "display/message_table.h"

namespace {

void AddLine(std::u16string& text, std::u16string_view line)
{
    text += line;
    text += u"\r\n";
}

void AddValue(std::u16string& text, std::u16string_view key, std::u16string_view value)
{
    text += key;
    text += u'=';
    AddLine(text, value);
}

} // namespace

std::u16string SM_UITextSample()
{
    std::u16string text;
    AddLine(text, u"; Texts of the MFP Status Monitor. Translate the values and keep the keys;");
    AddLine(text, u"; save the file as UTF-16 (with its mark) named smen.ini in the Windows folder.");
    AddLine(text, u"; A message text shows at most 127 characters. codepage is used on Windows");
    AddLine(text, u"; 95, 98 and Me only: the ANSI code page of the texts, 0 for the system's own.");
    AddLine(text, u"[string]");
    AddValue(text, u"codepage", u"0");
    for (const CaptionRow& caption : {kGroupCaption, kDeleteCaption, kContinueCaption})
        AddValue(text, caption.key, caption.text);
    for (int i = 0; i < kMessageRows; ++i)
        AddValue(text, SM_MessageRows()[i].key, SM_MessageRows()[i].text);
    return text;
}

std::vector<unsigned char> SM_UITextSampleBytes()
{
    std::vector<unsigned char> bytes{0xFF, 0xFE};
    for (char16_t unit : SM_UITextSample()) {
        bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    }
    return bytes;
}
