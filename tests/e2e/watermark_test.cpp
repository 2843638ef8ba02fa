// The shipped mfpsm.exe given "CreateTextBMP job.ini", as the driver starts
// it: what lands in the BMP file for the records it is handed. Pictures are
// measured (ink boxes, shares of black pixels), never compared to golden
// glyphs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "testkit/watermark_job.h"
#include "testkit/wine_test.h"
#include "watermark/halftone_tables.h"
#include "watermark/profile_struct.h"
#include "watermark/settings.h"

namespace {

constexpr DWORD kTimeoutMs = 30000;

void WriteParam(const std::wstring& ini, const std::wstring& value)
{
    ASSERT_TRUE(WritePrivateProfileStringW(L"Job Information", L"Param", value.c_str(), ini.c_str()));
}

int CreateTextBmp(const std::wstring& ini)
{
    return RunBeside(L"mfpsm.exe", L"CreateTextBMP \"" + ini + L"\"", kTimeoutMs);
}

// A written 1-bit BMP, read back with top-down coordinates.
struct Picture {
    std::vector<unsigned char> bytes;
    int width = 0;
    int height = 0;
    size_t stride = 0;

    static uint32_t U32(const std::vector<unsigned char>& b, size_t at)
    {
        return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
    }
    bool Load(const std::wstring& path)
    {
        bytes = ReadAllBytes(path);
        if (bytes.size() < 62 || bytes[0] != 'B' || bytes[1] != 'M')
            return false;
        width = static_cast<int>(U32(bytes, 18));
        height = static_cast<int>(U32(bytes, 22));
        stride = U32(bytes, 34) / static_cast<uint32_t>(height);
        return bytes.size() == 62 + stride * height;
    }
    bool Black(int x, int y) const
    {
        unsigned char b = bytes[62 + static_cast<size_t>(height - 1 - y) * stride + x / 8];
        return !(b & (0x80 >> (x % 8)));
    }
    int BlackIn(int x0, int y0, int x1, int y1) const
    {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x)
                n += Black(x, y);
        }
        return n;
    }
};

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool Empty() const { return right < 0; }
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
    double CentreX() const { return (left + right) / 2.0; }
    double CentreY() const { return (top + bottom) / 2.0; }
};

Box InkBox(const Picture& p)
{
    Box box;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            if (p.Black(x, y)) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
        }
    }
    return box;
}

class WatermarkJob : public ::testing::Test {
protected:
    std::wstring Ini() const { return scratch_.File(L"job.ini"); }
    std::wstring Bmp() const { return scratch_.File(L"wm.bmp"); }

    // Writes the record, runs the program and reads the picture back.
    bool Render(const JobWM& job, Picture* picture)
    {
        WriteParam(Ini(), EncodedJob(job));
        EXPECT_EQ(CreateTextBmp(Ini()), 1) << "one-shot commands end with 1";
        return picture->Load(reinterpret_cast<const wchar_t*>(job.wmFileName));
    }

    ScratchDir scratch_;
};

} // namespace

TEST_F(WatermarkJob, UnreadableParamWritesNoFile)
{
    JobWM job = SmallWatermarkJob(Bmp(), L"DRAFT", 100, 50);
    std::wstring valid = EncodedJob(job);
    ASSERT_EQ(valid.size(), 3132u);
    const struct {
        const char* what;
        std::wstring value;
        bool write;
    } cases[] = {
        {"missing key", L"", false},
        {"empty value", L"", true},
        {"one character too many", valid + L"A", true},
    };
    for (const auto& c : cases) {
        DeleteFileW(Ini().c_str());
        ASSERT_TRUE(WritePrivateProfileStringW(L"Job Information", L"Other", L"1", Ini().c_str()));
        if (c.write)
            WriteParam(Ini(), c.value);
        EXPECT_EQ(CreateTextBmp(Ini()), 1) << c.what;
        EXPECT_FALSE(FileExists(Bmp())) << c.what;
    }
    // The same record at its exact length is drawn.
    WriteParam(Ini(), valid);
    EXPECT_EQ(CreateTextBmp(Ini()), 1);
    EXPECT_TRUE(FileExists(Bmp()));
}

TEST_F(WatermarkJob, OutOfRangeRecordsWriteNoFile)
{
    JobWM range = SmallWatermarkJob(Bmp(), L"DRAFT", 100, 50);
    range.wm.wAngleDegree = 361;
    JobWM densities = SmallWatermarkJob(Bmp(), L"DRAFT", 100, 50);
    densities.nPageDensity = 5;  // above nMaxPageDensity
    densities.nMaxPageDensity = 3;
    for (const JobWM& job : {range, densities}) {
        WriteParam(Ini(), EncodedJob(job));
        EXPECT_EQ(CreateTextBmp(Ini()), 1);
        EXPECT_FALSE(FileExists(Bmp()));
    }
}

TEST_F(WatermarkJob, HeaderStrideFollowsTheWidth)
{
    const struct {
        int width;
        uint32_t stride;
    } cases[] = {{100, 16}, {32, 4}, {33, 8}};
    for (const auto& c : cases) {
        Picture p;
        ASSERT_TRUE(Render(SmallWatermarkJob(Bmp(), L"x", c.width, 20), &p)) << c.width;
        EXPECT_EQ(p.width, c.width);
        EXPECT_EQ(p.height, 20);
        EXPECT_EQ(p.stride, c.stride) << c.width;
        EXPECT_EQ(Picture::U32(p.bytes, 2), 62 + c.stride * 20);
    }
}

TEST_F(WatermarkJob, EmptyTextIsAllWhite)
{
    Picture p;
    ASSERT_TRUE(Render(SmallWatermarkJob(Bmp(), L"", 203, 77), &p));
    EXPECT_EQ(p.BlackIn(0, 0, p.width, p.height), 0);
}

// Inside a solid black glyph every mask position is met equally often in
// any window of whole tables, so the kept share is exactly the table's.
TEST_F(WatermarkJob, SolidAreaKeepsTheTableShareAtEachLevel)
{
    const struct {
        unsigned density;
        int level;
        uint32_t halftone;
    } cases[] = {{20, 30, 0}, {100, 150, 0}, {60, 84, 2}};
    for (const auto& c : cases) {
        JobWM job = SmallWatermarkJob(Bmp(), L"\x2588", 600, 600);
        job.wm.wFontSize = 60;
        job.wm.wDensity = static_cast<uint16_t>(c.density);
        job.HalftoneType = c.halftone;
        Picture p;
        ASSERT_TRUE(Render(job, &p));
        const HalftoneTable& t = WM_HalftoneTableFor(c.halftone);
        int on = 0;
        for (int i = 0; i < t.size * t.size; ++i)
            on += t.data[i] <= c.level;
        // 128 x 128 pixels in the middle of the block.
        EXPECT_EQ(p.BlackIn(236, 236, 364, 364), on * (128 / t.size) * (128 / t.size))
            << "density " << c.density << ", table " << c.halftone;
    }
}

TEST_F(WatermarkJob, OneCopyIsCentred)
{
    JobWM job = SmallWatermarkJob(Bmp(), L"HHHH", 1000, 600);
    job.wm.wFontSize = 20;
    Picture p;
    ASSERT_TRUE(Render(job, &p));
    Box ink = InkBox(p);
    ASSERT_FALSE(ink.Empty());
    EXPECT_NEAR(ink.CentreX(), 500, 8);
    EXPECT_NEAR(ink.CentreY(), 300, 0.05 * ink.Height() + 4);
    EXPECT_GT(ink.Width(), ink.Height());
}

TEST_F(WatermarkJob, NinetyDegreesIsTallerThanWide)
{
    JobWM job = SmallWatermarkJob(Bmp(), L"HHHH", 600, 1000);
    job.wm.wFontSize = 20;
    job.wm.wAngleDegree = 90;
    Picture p;
    ASSERT_TRUE(Render(job, &p));
    Box ink = InkBox(p);
    ASSERT_FALSE(ink.Empty());
    EXPECT_GT(ink.Height(), 2 * ink.Width());
    EXPECT_NEAR(ink.CentreY(), 500, 8);
}

TEST_F(WatermarkJob, TiledCoversTheWholePage)
{
    JobWM job = SmallWatermarkJob(Bmp(), L"DRAFT", 800, 800);
    job.wm.wFontSize = 6;
    job.wm.wAngleDegree = 30;
    job.wm.wPlacement = 1;
    Picture p;
    ASSERT_TRUE(Render(job, &p));
    for (int cy = 0; cy < 8; ++cy) {
        for (int cx = 0; cx < 8; ++cx)
            EXPECT_GT(p.BlackIn(cx * 100, cy * 100, cx * 100 + 100, cy * 100 + 100), 0) << cx << "," << cy;
    }
}

TEST_F(WatermarkJob, ShiftsChangeNothing)
{
    JobWM job = SmallWatermarkJob(Bmp(), L"SHIFT", 500, 300);
    job.wm.wAngleDegree = 20;
    Picture plain;
    ASSERT_TRUE(Render(job, &plain));
    job.wm.xShift = 40;
    job.wm.yShift = -25;
    Picture shifted;
    ASSERT_TRUE(Render(job, &shifted));
    EXPECT_EQ(plain.bytes, shifted.bytes);
    EXPECT_GT(plain.BlackIn(0, 0, plain.width, plain.height), 0);
}

TEST_F(WatermarkJob, EnlargedTextScaleCentresInTheEnlargedRectangle)
{
    JobWM job = SmallWatermarkJob(Bmp(), L"HH", 1000, 600);
    job.nTextScale = 150;
    Picture p;
    ASSERT_TRUE(Render(job, &p));
    Box ink = InkBox(p);
    ASSERT_FALSE(ink.Empty());
    ASSERT_LT(ink.right, 999) << "the text should fit inside the bitmap";
    EXPECT_NEAR(ink.CentreX(), 750, 8);
    EXPECT_NEAR(ink.CentreY(), 450, 0.05 * ink.Height() + 4);
}

TEST_F(WatermarkJob, MissingDirectoryWritesNoFile)
{
    std::wstring bmp = scratch_.File(L"no such folder\\wm.bmp");
    JobWM job = SmallWatermarkJob(bmp, L"DRAFT", 100, 50);
    WriteParam(Ini(), EncodedJob(job));
    EXPECT_EQ(CreateTextBmp(Ini()), 1);
    EXPECT_FALSE(FileExists(bmp));
}

TEST(DrvsimWatermark, WritesTheRecordItIsGiven)
{
    ScratchDir scratch;
    std::wstring ini = scratch.File(L"job.ini");
    int code = RunBeside(L"drvsim.exe",
                         L"watermark --ini \"" + ini + L"\" --bmp \"" + scratch.File(L"out.bmp") +
                             L"\" --text \"Top secret\" --face \"Courier New\" --size 288 --style 3 --angle 360"
                             L" --placement 1 --density 100 --width 33 --height 7 --dst-scale 2 --page-density 7"
                             L" --max-page-density 6 --text-scale 5 --halftone 4294967295 --driver-type 512"
                             L" --x-shift -32768 --y-shift 32767",
                         kTimeoutMs);
    ASSERT_EQ(code, 0);
    JobWM job;
    ASSERT_TRUE(MISC_GetPrivateProfileStruct(L"Job Information", L"Param", &job, sizeof(job), ini.c_str()));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(job.wm.wmText)), L"Top secret");
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(job.wm.wmFaceName)), L"Courier New");
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(job.wmFileName)), scratch.File(L"out.bmp"));
    EXPECT_EQ(job.wm.wFontSize, 288);
    EXPECT_EQ(job.wm.wStyle, 3);
    EXPECT_EQ(job.wm.wAngleDegree, 360);
    EXPECT_EQ(job.wm.wPlacement, 1);
    EXPECT_EQ(job.wm.wDensity, 100);
    EXPECT_EQ(job.wm.xShift, -32768);
    EXPECT_EQ(job.wm.yShift, 32767);
    EXPECT_EQ(job.nWidth, 33);
    EXPECT_EQ(job.nHeight, 7);
    EXPECT_EQ(job.nDstScale, 2);
    EXPECT_EQ(job.nPageDensity, 7);
    EXPECT_EQ(job.nMaxPageDensity, 6);
    EXPECT_EQ(job.nTextScale, 5);
    EXPECT_EQ(job.HalftoneType, 0xFFFFFFFFu);
    EXPECT_EQ(job.DriverType, 0x200u);
}

TEST(DrvsimWatermark, DefaultsAreAnA4PageAndBadArgumentsGiveTwo)
{
    ScratchDir scratch;
    std::wstring paths = L" --ini \"" + scratch.File(L"job.ini") + L"\" --bmp \"" + scratch.File(L"a.bmp") + L"\"";
    ASSERT_EQ(RunBeside(L"drvsim.exe", L"watermark" + paths, kTimeoutMs), 0);
    JobWM job;
    ASSERT_TRUE(MISC_GetPrivateProfileStruct(L"Job Information", L"Param", &job, sizeof(job),
                                             scratch.File(L"job.ini").c_str()));
    EXPECT_EQ(job.nWidth, 4960);
    EXPECT_EQ(job.nHeight, 7016);
    std::u16string error;
    EXPECT_EQ(WM_CheckSettings(job, &error), 1) << "the defaults pass the job's checks";

    const std::wstring bad[] = {
        L"watermark",                                  // no paths
        L"watermark --ini \"" + scratch.File(L"j.ini") + L"\"",
        L"watermark" + paths + L" --size",              // no value
        L"watermark" + paths + L" --size 65536",        // beyond the field
        L"watermark" + paths + L" --angle 4x",
        L"watermark" + paths + L" --x-shift 40000",
        L"watermark" + paths + L" --colour red",
        L"watermark" + paths + L" --face ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456",  // 32 units
    };
    for (const std::wstring& args : bad)
        EXPECT_EQ(RunBeside(L"drvsim.exe", args, kTimeoutMs), 2) << std::string(args.begin(), args.end());
    EXPECT_FALSE(FileExists(scratch.File(L"j.ini")));
}
