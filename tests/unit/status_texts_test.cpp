// The status exchange file's "Status" read through the profile API, and the
// message texts with their overrides from the UI text file.
#include <gtest/gtest.h>

#include "common/utf16.h"
#include "display/message_table.h"
#include "display/message_text.h"
#include "display/ui_text_sample.h"
#include "monitor/status_file.h"
#include "monitor_env.h"

namespace {

std::wstring TextOf(int code, int size = 128)
{
    std::vector<wchar_t> out(static_cast<size_t>(size) + 8, L'#');
    SM_GetErrorText(code, out.data(), size);
    for (size_t i = static_cast<size_t>(size); i < out.size(); ++i)
        EXPECT_EQ(out[i], L'#') << "code " << code << " written past the buffer";
    return out.data();
}

} // namespace

TEST(StatusFile, GetErrCodeReadsStatusAndKeepsTheStoreName)
{
    MonitorEnv env(false);
    int list[kMaxErrCodes] = {};
    int count = -1;
    EXPECT_EQ(GetErrCode(list, &count), 0) << "a missing key is an empty list";
    EXPECT_EQ(count, 0);

    env.Write(L"Status", L"277|StoreName|Weekly report|");
    EXPECT_EQ(GetErrCode(list, &count), 1);
    EXPECT_EQ(list[0], 277);
    EXPECT_STREQ(g_szStoreName, L"Weekly report");

    int second[kMaxErrCodes] = {};
    env.Write(L"Status", L"112|33|5|StoreName|");
    EXPECT_EQ(GetErrCode(second, &count), 2);
    EXPECT_EQ(second[0], 33);
    EXPECT_EQ(second[1], 5);
    EXPECT_EQ(second[2], 0);
    EXPECT_STREQ(g_szStoreName, L"Weekly report") << "an unclosed store name changes nothing";

    // Only 259 units of a longer value are read: the cut-off tail is no code.
    std::wstring longStatus = L"StoreName|" + std::wstring(245, L'n') + L"|33|5|";
    env.Write(L"Status", longStatus.c_str());
    int third[kMaxErrCodes] = {};
    EXPECT_EQ(GetErrCode(third, &count), 1);
    EXPECT_EQ(third[0], 33);
    EXPECT_EQ(std::wstring(g_szStoreName), std::wstring(245, L'n'));
}

TEST(StatusFile, IntegerKeysReadTheirDefaultsWhenMissing)
{
    MonitorEnv env(false);
    EXPECT_EQ(SM_ReadStatusInt(kSectionPrinter, kKeyShowSM, 1), 1);
    EXPECT_EQ(SM_ReadStatusInt(kSectionPrinter, kKeyMessage, 0), 0);
    env.Write(L"Message", L"1026");
    EXPECT_EQ(SM_ReadStatusInt(kSectionPrinter, kKeyMessage, 0), 1026);
    EXPECT_EQ(SM_WriteStatusKey(kKeyContinuePrint, L"1"), 1);
    EXPECT_EQ(env.Read(L"ContinuePrint"), L"1");
}

// A section too long for one read: the keys lie beyond the cut, yet our
// write is seen in place and made once, and nothing else in the file is lost.
TEST(StatusFile, WriteIntoASectionTooLongForOneRead)
{
    MonitorEnv env(false);
    const std::wstring longName(40000, L'P');
    env.Write(L"PrinterName", longName.c_str());
    env.Write(L"LastMsg", L"7");
    env.Write(L"Message", L"1026");
    EXPECT_EQ(SM_WriteStatusKey(kKeyMessage, L"0"), 1) << "our value counted as undone";
    EXPECT_EQ(env.Read(L"Message"), L"0");
    EXPECT_EQ(env.Read(L"LastMsg"), L"7");
    WCHAR name[kPrinterNameUnits] = L"";
    SM_ReadPrinterName(name);
    EXPECT_EQ(std::wstring(name), longName.substr(0, kPrinterNameUnits - 1));
}

// The keys the driver keeps read as the profile functions read integers:
// missing or empty is the default, otherwise the leading decimal number.
TEST(StatusFile, KeptKeysReadTheirDefaultsWhenMissingOrEmpty)
{
    MonitorEnv env(false);
    env.Write(L"JobID", nullptr, L"Job Information");
    EXPECT_EQ(SM_ReadJobID(), 0u);
    EXPECT_EQ(SM_ReadKeptInt(kSectionPrinter, kKeyShowSM, 1), 1);
    WCHAR name[kPrinterNameUnits] = L"left over";
    SM_ReadPrinterName(name);
    EXPECT_STREQ(name, L"");

    env.Write(L"ShowSM", L"");
    EXPECT_EQ(SM_ReadKeptInt(kSectionPrinter, kKeyShowSM, 1), 1);
    env.Write(L"ShowSM", L" 0 (hidden)");
    EXPECT_EQ(SM_ReadKeptInt(kSectionPrinter, kKeyShowSM, 1), 0);
    env.Write(L"JobID", L"-7", L"Job Information");
    EXPECT_EQ(SM_ReadJobID(), static_cast<DWORD>(-7));
    env.Write(L"JobID", L"4711", L"Job Information");
    EXPECT_EQ(SM_ReadJobID(), 4711u);
}

TEST(MessageText, BuiltInTextsWithoutAUITextFile)
{
    MonitorEnv env(false);
    EXPECT_EQ(TextOf(33), L"Paper Jam.");
    EXPECT_EQ(TextOf(3), L"Companent Fail.");
    EXPECT_EQ(TextOf(263), L"Paper jam .");
    EXPECT_EQ(TextOf(65535), L"Unknow error.");
    for (int code : {4, 48, 117, 118, 0})
        EXPECT_EQ(TextOf(code), L"") << code;
    EXPECT_EQ(TextOf(5, 6), L"Front") << "cut to the caller's buffer";
}

TEST(MessageText, UITextFileReplacesOnlyItsOwnKeys)
{
    MonitorEnv env(false);
    env.WriteUI(L"msg009", L"Papierstau.");
    env.WriteUI(L"msg005", L"");
    EXPECT_EQ(TextOf(33), L"Papierstau.");
    for (int code : {260, 261, 262, 264})
        EXPECT_EQ(TextOf(code), L"Paper jam.") << code;
    EXPECT_EQ(TextOf(5), L"") << "an empty value is a text too";
}

TEST(MessageText, StoreJobTextCarriesTheStoreNameWithinTheBuffer)
{
    MonitorEnv env(false);
    wcscpy(g_szStoreName, L"Weekly report");
    EXPECT_EQ(TextOf(277), L"Store job name change to Weekly report.");
    g_szStoreName[0] = L'\0';
    EXPECT_EQ(TextOf(277), L"Store job name change to .");

    std::wstring longName(259, L'n');
    wcscpy(g_szStoreName, longName.c_str());
    std::wstring text = TextOf(277);
    EXPECT_EQ(text.size(), 127u);
    EXPECT_EQ(text.substr(0, 25), L"Store job name change to ");

    env.WriteUI(L"msg041", L"Neuer Name:");
    wcscpy(g_szStoreName, L"Q3");
    EXPECT_EQ(TextOf(277), L"Neuer Name: Q3.");
}

// The sample shipped for translators must be read back by the profile
// functions as exactly the built-in texts: every key present (a sentinel
// default would show a missing one), no text changed on the way.
TEST(MessageText, SampleUITextFileHoldsEveryBuiltInText)
{
    MonitorEnv env(false);
    std::vector<std::wstring> builtIn;
    for (int i = 0; i < kMessageRows; ++i)
        builtIn.push_back(TextOf(SM_MessageRows()[i].code));
    std::vector<unsigned char> sample = SM_UITextSampleBytes();
    ASSERT_TRUE(WriteAllBytes(g_szUIFile, sample.data(), sample.size()));

    auto stored = [](const char16_t* key) {
        wchar_t value[kMessageUnits] = L"";
        GetPrivateProfileStringW(L"string", W16(key), L"<missing>", value, kMessageUnits, g_szUIFile);
        return std::wstring(value);
    };
    for (const CaptionRow& caption : {kGroupCaption, kDeleteCaption, kContinueCaption})
        EXPECT_EQ(stored(caption.key), W16(caption.text));
    for (int i = 0; i < kMessageRows; ++i) {
        const MessageRow& row = SM_MessageRows()[i];
        EXPECT_EQ(stored(row.key), W16(row.text)) << row.code;
        EXPECT_EQ(TextOf(row.code), builtIn[static_cast<size_t>(i)]) << row.code;
    }
    EXPECT_EQ(GetPrivateProfileIntW(L"string", L"codepage", 99, g_szUIFile), 0u);
}
