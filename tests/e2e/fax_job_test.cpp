// A fax driver's "CreateTextBMP" job through the shipped program: drvsim
// writes the fax files, the job INI carries the settings record with the fax
// bit, and the halftoned BMP shows the page where it belongs.
#include <gtest/gtest.h>

#include "testkit/wine_test.h"

namespace {

constexpr DWORD kTimeoutMs = 30000;
constexpr int kWidth = 1728;   // A4 at 204 x 196 dots per inch
constexpr int kHeight = 2292;

// The BMP's black pixels, counted in rectangles given top row first.
class BmpPage {
public:
    explicit BmpPage(const std::vector<unsigned char>& file) : file_(file) {}
    bool Valid() const
    {
        return file_.size() == 62 + static_cast<size_t>(Stride()) * kHeight && file_[0] == 'B' && file_[1] == 'M';
    }
    int Ink(int left, int top, int right, int bottom) const
    {
        int n = 0;
        for (int y = top; y < bottom; ++y) {
            const unsigned char* row = file_.data() + 62 + static_cast<size_t>(kHeight - 1 - y) * Stride();
            for (int x = left; x < right; ++x)
                n += ((row[x / 8] >> (7 - x % 8)) & 1) == 0;
        }
        return n;
    }

private:
    static int Stride() { return ((kWidth + 31) / 32) * 4; }
    const std::vector<unsigned char>& file_;
};

class FaxJob : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring docs = CommonDocumentsDir();
        ASSERT_FALSE(docs.empty());
        settings_ = docs + L"str.ini";
        cover_ = docs + L"cover.ini";
        ini_ = dir_.File(L"job.ini");
        bmp_ = dir_.File(L"page.bmp");
        // A fax driver's job: driver type 0x200, full density, the 16 x 16 screen.
        ASSERT_EQ(RunBeside(L"drvsim.exe",
                            L"watermark --ini \"" + ini_ + L"\" --bmp \"" + bmp_ + L"\" --driver-type 512 --width " +
                                std::to_wstring(kWidth) + L" --height " + std::to_wstring(kHeight) +
                                L" --density 100 --halftone 0",
                            kTimeoutMs),
                  0);
    }
    void TearDown() override
    {
        DeleteFileW(settings_.c_str());
        DeleteFileW(cover_.c_str());
    }
    std::vector<unsigned char> Run(const std::wstring& drvsimArgs)
    {
        EXPECT_EQ(RunBeside(L"drvsim.exe", L"fax " + drvsimArgs, kTimeoutMs), 0);
        EXPECT_EQ(RunBeside(L"mfpsm.exe", L"CreateTextBMP \"" + ini_ + L"\"", kTimeoutMs), 1);
        return ReadAllBytes(bmp_);
    }

    ScratchDir dir_;
    std::wstring settings_, cover_, ini_, bmp_;
};

} // namespace

TEST_F(FaxJob, A4CoverPage)
{
    std::vector<unsigned char> file = Run(L"--paper 9 --cover 1 --name \"Ana Ruiz\" --message Hello World");
    BmpPage page(file);
    ASSERT_TRUE(page.Valid()) << file.size() << " bytes";
    // Line 12 (rows 238-242, columns 50-1650) halftoned: over half its dots stay.
    int line = page.Ink(52, 238, 1648, 243);
    EXPECT_GT(line, 5 * 1596 / 3);
    EXPECT_LT(line, 5 * 1596);
    EXPECT_EQ(page.Ink(0, 238, 45, 243) + page.Ink(1655, 238, kWidth, 243), 0);
    EXPECT_EQ(page.Ink(0, 222, kWidth, 236), 0) << "between the title and line 12";
    EXPECT_GT(page.Ink(119, 836, 400, 880), 0) << "first message line";
    EXPECT_GT(page.Ink(119, 901, 400, 945), 0) << "second message line";
    EXPECT_EQ(page.Ink(0, 1000, kWidth, kHeight), 0) << "nothing below the message";
}

TEST_F(FaxJob, FromLine)
{
    std::vector<unsigned char> file = Run(L"--cover 2 --name \"Ana Ruiz\"");
    BmpPage page(file);
    ASSERT_TRUE(page.Valid()) << file.size() << " bytes";
    int ink = page.Ink(0, 0, kWidth, kHeight);
    EXPECT_GT(ink, 100);
    EXPECT_EQ(page.Ink(6, 6, 600, 51), ink) << "all of it at the top left";
}
