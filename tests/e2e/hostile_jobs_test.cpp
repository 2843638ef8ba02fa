// Bitmap jobs with hostile input through the shipped program: settings
// records at and beyond every limit, text fields without terminators, a
// "Param" that is no base64, pictures of extreme shapes, and fax cover
// message files that are huge or lack their mark. The job ends with 1 and
// writes its BMP exactly when the record is acceptable.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "testkit/watermark_job.h"
#include "testkit/wine_test.h"
#include "watermark/base64.h"
#include "watermark/settings.h"

namespace {

constexpr DWORD kTimeoutMs = 60000;

struct Bmp {
    std::vector<unsigned char> bytes;
    uint32_t U32(size_t at) const
    {
        return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
    }
    int Width() const { return static_cast<int>(U32(18)); }
    int Height() const { return static_cast<int>(U32(22)); }
    size_t Stride() const { return ((static_cast<size_t>(Width()) + 31) / 32) * 4; }
    // The whole file is there: headers, and rows as many as the header says.
    bool Whole() const
    {
        return bytes.size() >= 62 && bytes[0] == 'B' && bytes[1] == 'M' && U32(2) == bytes.size() &&
               bytes.size() == 62 + Stride() * static_cast<size_t>(Height());
    }
    // Black dots in rows [top, bottom), counted from the top of the page.
    int Ink(int top, int bottom) const
    {
        int n = 0;
        for (int y = top; y < bottom; ++y) {
            const unsigned char* row = bytes.data() + 62 + static_cast<size_t>(Height() - 1 - y) * Stride();
            for (int x = 0; x < Width(); ++x)
                n += ((row[x / 8] >> (7 - x % 8)) & 1) == 0;
        }
        return n;
    }
};

void SetText(char16_t* field, size_t units, const std::wstring& text)
{
    for (size_t i = 0; i < units; ++i)
        field[i] = i < text.size() ? static_cast<char16_t>(text[i]) : u'\0';
}

class HostileJobs : public ::testing::Test {
protected:
    std::wstring Ini() const { return scratch_.File(L"job.ini"); }
    std::wstring BmpPath() const { return scratch_.File(L"wm.bmp"); }

    JobWM Record(int width = 64, int height = 32) const
    {
        return SmallWatermarkJob(BmpPath(), L"DRAFT", width, height);
    }
    void WriteParam(const std::wstring& value)
    {
        DeleteFileW(Ini().c_str());
        ASSERT_TRUE(WritePrivateProfileStringW(L"Job Information", L"Param", value.c_str(), Ini().c_str()));
    }
    void WriteRecord(const JobWM& job)
    {
        WriteParam(EncodedJob(job));
    }
    // Runs the job on a fresh output path; the BMP's bytes, empty when none.
    std::vector<unsigned char> Run(const std::wstring& output)
    {
        DeleteFileW(output.c_str());
        EXPECT_EQ(RunBeside(L"mfpsm.exe", L"CreateTextBMP \"" + Ini() + L"\"", kTimeoutMs), 1)
            << "one-shot commands end with 1";
        return FileExists(output) ? ReadAllBytes(output) : std::vector<unsigned char>();
    }

    ScratchDir scratch_;
};

} // namespace

TEST_F(HostileJobs, EveryFieldAtItsLimitsIsDrawn)
{
    const struct {
        const char* what;
        std::function<void(JobWM&)> set;
    } cases[] = {
        {"lowest values", [](JobWM& j) {
             j.wm.wDensity = 20;
             j.wm.wFontSize = 1;
             j.nTextScale = 5;
         }},
        {"highest values", [](JobWM& j) {
             j.wm.wDensity = 100;
             j.wm.wFontSize = 288;
             j.wm.wStyle = 3;
             j.wm.wAngleDegree = 360;
             j.wm.wPlacement = 1;
             j.nDstScale = 2;
             j.nPageDensity = 7;
             j.nMaxPageDensity = 7;
             j.nTextScale = 200;
             j.HalftoneType = UINT32_MAX;
             j.DriverType = ~WM_DRIVER_FAX;
         }},
        {"extreme shifts", [](JobWM& j) {
             j.wm.xShift = INT16_MAX;
             j.wm.yShift = INT16_MIN;
         }},
        {"text and face name without terminators", [](JobWM& j) {
             SetText(j.wm.wmText, WM_TEXT_MAX_LEN, std::wstring(WM_TEXT_MAX_LEN, L'W'));
             SetText(j.wm.wmFaceName, WM_FONTFACE_MAX_LEN, std::wstring(WM_FONTFACE_MAX_LEN, L'Z'));
         }},
        {"non-ASCII text", [](JobWM& j) {
             SetText(j.wm.wmText, WM_TEXT_MAX_LEN, L"\x6A5F\x5BC6 \x00DC\x00F1\x00EF\x0107\x00F8d\x00E9 \xD83D\xDE00");
         }},
    };
    for (const auto& c : cases) {
        JobWM job = Record(200, 100);
        c.set(job);
        WriteRecord(job);
        Bmp bmp{Run(BmpPath())};
        ASSERT_TRUE(bmp.Whole()) << c.what << ": " << bmp.bytes.size() << " bytes";
        EXPECT_EQ(bmp.Width(), 200) << c.what;
        EXPECT_EQ(bmp.Height(), 100) << c.what;
    }
}

TEST_F(HostileJobs, AnyFieldBeyondItsLimitsWritesNoFile)
{
    const struct {
        const char* what;
        std::function<void(JobWM&)> set;
    } cases[] = {
        {"density 19", [](JobWM& j) { j.wm.wDensity = 19; }},
        {"density 101", [](JobWM& j) { j.wm.wDensity = 101; }},
        {"font size 0", [](JobWM& j) { j.wm.wFontSize = 0; }},
        {"font size 289", [](JobWM& j) { j.wm.wFontSize = 289; }},
        {"style 4", [](JobWM& j) { j.wm.wStyle = 4; }},
        {"placement 2", [](JobWM& j) { j.wm.wPlacement = 2; }},
        {"scale 0", [](JobWM& j) { j.nDstScale = 0; }},
        {"scale 3", [](JobWM& j) { j.nDstScale = 3; }},
        {"page density 0", [](JobWM& j) { j.nPageDensity = 0; }},
        {"maximum page density 8", [](JobWM& j) { j.nPageDensity = j.nMaxPageDensity = 8; }},
        {"text scale 4", [](JobWM& j) { j.nTextScale = 4; }},
        {"text scale 201", [](JobWM& j) { j.nTextScale = 201; }},
        {"text scale INT_MIN", [](JobWM& j) { j.nTextScale = INT_MIN; }},
        {"width 0", [](JobWM& j) { j.nWidth = 0; }},
        {"height -1", [](JobWM& j) { j.nHeight = -1; }},
        {"width INT_MIN", [](JobWM& j) { j.nWidth = INT_MIN; }},
        // 7,500-byte rows: 71,582 of them are the most that fit in 512 MiB.
        {"60000 x 71583", [](JobWM& j) { j.nWidth = 60000, j.nHeight = 71583; }},
        {"INT_MAX x INT_MAX", [](JobWM& j) { j.nWidth = j.nHeight = INT_MAX; }},
        {"INT_MAX x 1", [](JobWM& j) { j.nWidth = INT_MAX, j.nHeight = 1; }},
    };
    WriteRecord(Record());
    ASSERT_FALSE(Run(BmpPath()).empty()) << "the record the cases start from is drawn";
    for (const auto& c : cases) {
        JobWM job = Record();
        c.set(job);
        WriteRecord(job);
        EXPECT_TRUE(Run(BmpPath()).empty()) << c.what;
    }
}

TEST_F(HostileJobs, ExtremeShapesThatFitAreWritten)
{
    const struct {
        int width, height;
    } cases[] = {{1, 1}, {1, 60000}, {60000, 1}};
    for (const auto& c : cases) {
        WriteRecord(Record(c.width, c.height));
        Bmp bmp{Run(BmpPath())};
        ASSERT_TRUE(bmp.Whole()) << c.width << " x " << c.height;
        EXPECT_EQ(bmp.Width(), c.width);
        EXPECT_EQ(bmp.Height(), c.height);
    }
}

// A file name without its terminator is cut to 259 units, and the picture
// lands there.
TEST_F(HostileJobs, FileNameWithoutTerminatorIsCut)
{
    std::wstring path = scratch_.Path();
    path += std::wstring(WM_TEXT_MAX_LEN - 1 - path.size(), L'n');
    JobWM job = Record();
    SetText(job.wmFileName, WM_TEXT_MAX_LEN, path + L"X");
    WriteRecord(job);
    Bmp bmp{Run(path)};
    EXPECT_TRUE(bmp.Whole()) << bmp.bytes.size() << " bytes";
}

TEST_F(HostileJobs, ParamThatIsNoBase64WritesNoFile)
{
    const size_t units = MISC_Base64Length(sizeof(JobWM));
    const struct {
        const char* what;
        std::wstring value;
    } cases[] = {
        {"Chinese text", std::wstring(units, L'\x6C34')},
        {"Latin letters with accents", std::wstring(units, L'\x00E9')},
        {"lone surrogates", std::wstring(units, L'\xD800')},
    };
    for (const auto& c : cases) {
        WriteParam(c.value);
        EXPECT_TRUE(Run(BmpPath()).empty()) << c.what;
    }
}

// The fax driver's files in the shared documents folder, the message file
// replaced by something hostile: the page is written all the same.
class HostileCover : public ::testing::Test {
protected:
    static constexpr int kWidth = 1728;
    static constexpr int kHeight = 2292;

    void SetUp() override
    {
        cover_ = CommonDocumentsDir() + L"cover.ini";
        settings_ = CommonDocumentsDir() + L"str.ini";
        ini_ = dir_.File(L"job.ini");
        bmp_ = dir_.File(L"page.bmp");
        ASSERT_EQ(RunBeside(L"drvsim.exe",
                            L"watermark --ini \"" + ini_ + L"\" --bmp \"" + bmp_ + L"\" --driver-type 512 --width " +
                                std::to_wstring(kWidth) + L" --height " + std::to_wstring(kHeight) +
                                L" --density 100 --halftone 0",
                            kTimeoutMs),
                  0);
        ASSERT_EQ(RunBeside(L"drvsim.exe", L"fax --paper 9 --cover 1 --name Ana", kTimeoutMs), 0);
    }
    void TearDown() override
    {
        DeleteFileW(settings_.c_str());
        DeleteFileW(cover_.c_str());
    }
    Bmp Run(const std::vector<unsigned char>& message)
    {
        EXPECT_TRUE(WriteAllBytes(cover_, message.data(), message.size()));
        DeleteFileW(bmp_.c_str());
        EXPECT_EQ(RunBeside(L"mfpsm.exe", L"CreateTextBMP \"" + ini_ + L"\"", kTimeoutMs), 1);
        Bmp bmp{ReadAllBytes(bmp_)};
        EXPECT_EQ(ReadAllBytes(cover_), message) << "the message file is never written";
        return bmp;
    }

    ScratchDir dir_;
    std::wstring cover_, settings_, ini_, bmp_;
};

std::vector<unsigned char> Utf16(const std::wstring& text, bool mark)
{
    std::vector<unsigned char> bytes;
    if (mark)
        bytes = {0xFF, 0xFE};
    for (wchar_t c : text) {
        bytes.push_back(static_cast<unsigned char>(c & 0xFF));
        bytes.push_back(static_cast<unsigned char>(c >> 8));
    }
    return bytes;
}

TEST_F(HostileCover, FiveMegabytesOfMessage)
{
    const size_t fiveMb = 5 * 1024 * 1024;
    std::wstring lines;
    while (lines.size() * 2 < fiveMb)
        lines += L"Line of the message\r\n";
    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
        bool toTheFoot;
    } cases[] = {
        {"5 MB of lines", Utf16(lines, true), true},
        {"one line of 5 MB", Utf16(std::wstring(fiveMb / 2, L'M'), true), false},
    };
    for (const auto& c : cases) {
        Bmp bmp = Run(c.bytes);
        ASSERT_TRUE(bmp.Whole()) << c.what;
        EXPECT_EQ(bmp.Width(), kWidth);
        EXPECT_GT(bmp.Ink(836, 880), 0) << c.what << ": the first message line";
        EXPECT_EQ(bmp.Ink(kHeight - 100, kHeight) > 0, c.toTheFoot) << c.what << ": lines at the foot of the page";
    }
}

TEST_F(HostileCover, MessageWithoutItsMark)
{
    for (const std::vector<unsigned char>& bytes :
         {Utf16(L"Hello\r\nWorld\r\n", false), std::vector<unsigned char>{'H', 'e', 'l', 'l', 'o', '\r', '\n'},
          std::vector<unsigned char>{0xFF}}) {
        Bmp bmp = Run(bytes);
        ASSERT_TRUE(bmp.Whole()) << bytes.size() << " bytes of message";
        EXPECT_GT(bmp.Ink(238, 243), 0) << "the form is drawn";
    }
}

// Sender fields and labels of 10,000 characters in the settings file (a fax
// driver's own writer refuses them, so the file is written here): each is
// cut to what its text buffer holds, and the page is written.
TEST_F(HostileCover, OverlongSenderFieldsAndLabels)
{
    const std::wstring huge(10000, L'N');
    for (const wchar_t* cover : {L"1", L"2"}) {
        const std::wstring settings = std::wstring(L"[DataForSM]\r\nPaperSize=9\r\nenableCoverPage=") + cover +
                                      L"\r\n[SenderInformation]\r\nName=" + huge + L"\r\nCom=" + huge +
                                      L"\r\nFaxNum=" + huge + L"\r\n[SMTextOut]\r\nFAX=" + huge + L"\r\nMESG=" +
                                      huge + L"\r\n";
        const std::vector<unsigned char> bytes = Utf16(settings, true);
        ASSERT_TRUE(WriteAllBytes(settings_, bytes.data(), bytes.size()));
        Bmp bmp = Run(Utf16(L"Hello\r\n", true));
        ASSERT_TRUE(bmp.Whole()) << "cover " << cover;
        EXPECT_GT(bmp.Ink(0, 236), 0) << "cover " << cover << ": the head of the page";
    }
}

// The fax page drawn into pictures of extreme shapes: clipped, not overrun.
TEST_F(HostileCover, ExtremeShapesOfTheFaxPage)
{
    const struct {
        int width, height;
    } cases[] = {{1, 1}, {1, 60000}, {60000, 1}, {60000, 40}};
    for (const auto& c : cases) {
        ASSERT_EQ(RunBeside(L"drvsim.exe",
                            L"watermark --ini \"" + ini_ + L"\" --bmp \"" + bmp_ + L"\" --driver-type 512 --width " +
                                std::to_wstring(c.width) + L" --height " + std::to_wstring(c.height) +
                                L" --density 100 --halftone 0",
                            kTimeoutMs),
                  0);
        Bmp bmp = Run(Utf16(L"Hello\r\n", true));
        ASSERT_TRUE(bmp.Whole()) << c.width << " x " << c.height;
        EXPECT_EQ(bmp.Width(), c.width);
        EXPECT_EQ(bmp.Height(), c.height);
    }
}
