// drvsim fax plays the fax driver: the files it writes are the ones the fax
// page reads, byte for byte, and bad arguments leave them alone.
#include <gtest/gtest.h>

#include "testkit/wine_test.h"

namespace {

constexpr DWORD kTimeoutMs = 20000;

class DrvsimFax : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring dir = CommonDocumentsDir();
        ASSERT_FALSE(dir.empty());
        settings_ = dir + L"str.ini";
        cover_ = dir + L"cover.ini";
        DeleteFileW(settings_.c_str());
        DeleteFileW(cover_.c_str());
    }
    void TearDown() override
    {
        DeleteFileW(settings_.c_str());
        DeleteFileW(cover_.c_str());
    }
    int Drvsim(const std::wstring& args) { return RunBeside(L"drvsim.exe", L"fax " + args, kTimeoutMs); }
    std::wstring Setting(const wchar_t* section, const wchar_t* key)
    {
        WCHAR text[260];
        GetPrivateProfileStringW(section, key, L"<none>", text, 260, settings_.c_str());
        return text;
    }

    std::wstring settings_;
    std::wstring cover_;
};

} // namespace

TEST_F(DrvsimFax, WritesSettingsAndMessage)
{
    ASSERT_EQ(Drvsim(L"--paper 12 --cover 2 --orientation 1 --xres 204 --yres 98 --name \"Ana Ruiz\" "
                     L"--faxnum 555-0100 --label FROM=De --message \"Line one\" \"Line two\""),
              0);
    EXPECT_EQ(Setting(L"DataForSM", L"PaperSize"), L"12");
    EXPECT_EQ(Setting(L"DataForSM", L"enableCoverPage"), L"2");
    EXPECT_EQ(Setting(L"DataForSM", L"Orientation"), L"1");
    EXPECT_EQ(Setting(L"DataForSM", L"Xres"), L"204");
    EXPECT_EQ(Setting(L"DataForSM", L"Yres"), L"98");
    EXPECT_EQ(Setting(L"SenderInformation", L"Name"), L"Ana Ruiz");
    EXPECT_EQ(Setting(L"SenderInformation", L"FaxNum"), L"555-0100");
    EXPECT_EQ(Setting(L"SenderInformation", L"Com"), L"<none>") << "only the given fields are written";
    EXPECT_EQ(Setting(L"SMTextOut", L"FROM"), L"De");
    std::vector<unsigned char> settings = ReadAllBytes(settings_);
    ASSERT_GE(settings.size(), 2u);
    EXPECT_EQ(settings[0], 0xFF);
    EXPECT_EQ(settings[1], 0xFE);
    EXPECT_EQ(ReadAllBytes(cover_), Utf16File(L"Line one\r\nLine two\r\n"));
}

TEST_F(DrvsimFax, MessageFileLinesAndNoMessage)
{
    ScratchDir dir;
    std::wstring text = dir.File(L"message.txt");
    const char utf8[] = "Gr\xC3\xBC\xC3\x9F" "e\r\nsecond\nthird";
    ASSERT_TRUE(WriteAllBytes(text, utf8, sizeof(utf8) - 1));
    ASSERT_EQ(Drvsim(L"--message-file \"" + text + L"\""), 0);
    EXPECT_EQ(ReadAllBytes(cover_), Utf16File(L"Gr\u00FC\u00DFe\r\nsecond\r\nthird\r\n"));
    EXPECT_EQ(Setting(L"DataForSM", L"PaperSize"), L"9");
    EXPECT_EQ(Setting(L"DataForSM", L"enableCoverPage"), L"1");

    ASSERT_EQ(Drvsim(L""), 0);
    EXPECT_EQ(ReadAllBytes(cover_), (std::vector<unsigned char>{0xFF, 0xFE}));
}

TEST_F(DrvsimFax, BadArgumentsExitWithTwoAndWriteNothing)
{
    for (const wchar_t* args : {L"--paper 1", L"--cover 3", L"--xres", L"--yres 19x", L"--label NAME=x",
                                L"--label FAX", L"--colour red", L"--message a --message-file b.txt",
                                L"--message-file C:\\no\\such\\file.txt"}) {
        EXPECT_EQ(Drvsim(args), 2) << args;
        EXPECT_FALSE(FileExists(settings_)) << args;
        EXPECT_FALSE(FileExists(cover_)) << args;
    }
}
