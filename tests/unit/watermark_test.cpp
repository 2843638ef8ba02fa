// The watermark job's Windows side in process: the record read from the INI
// file, the table copies, the job's result codes, the font and the DC state
// of the text renderer, and the BMP writer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "testkit/wine_test.h"
#include "watermark/base64.h"
#include "watermark/halftone_lookup.h"
#include "watermark/ibitmap.h"
#include "watermark/profile_struct.h"
#include "watermark/settings.h"
#include "watermark/text_layout.h"
#include "watermark/wm_job.h"
#include "watermark/wm_text.h"

namespace {

JobWM Record(const std::wstring& bmp)
{
    JobWM job{};
    wcscpy(reinterpret_cast<wchar_t*>(job.wm.wmText), L"DRAFT");
    wcscpy(reinterpret_cast<wchar_t*>(job.wm.wmFaceName), L"Arial");
    wcsncpy(reinterpret_cast<wchar_t*>(job.wmFileName), bmp.c_str(), WM_TEXT_MAX_LEN - 1);
    job.wm.wDensity = 60;
    job.wm.wFontSize = 12;
    job.nWidth = 120;
    job.nHeight = 40;
    job.nDstScale = 1;
    job.nPageDensity = 1;
    job.nMaxPageDensity = 1;
    job.nTextScale = 100;
    return job;
}

void WriteParam(const std::wstring& ini, const std::string& value)
{
    std::wstring wide(value.begin(), value.end());
    ASSERT_TRUE(WritePrivateProfileStringW(L"Job Information", L"Param", wide.c_str(), ini.c_str()));
}

std::string Encode(const JobWM& job)
{
    return MISC_Base64Encode(reinterpret_cast<const uint8_t*>(&job), sizeof(job));
}

} // namespace

TEST(HalftoneLookup, SizesAndPrivateCopies)
{
    const struct {
        DWORD type;
        int size;
    } cases[] = {{0, 16}, {9, 16}, {0xFFFFFFFFu, 16}, {1, 128}, {2, 64}, {5, 64}, {8, 64}};
    for (const auto& c : cases) {
        int w = 0, h = 0;
        BYTE* table = nullptr;
        MISC_GetHalftoneTable(c.type, &w, &h, &table);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(w, c.size) << c.type;
        EXPECT_EQ(h, c.size) << c.type;
        EXPECT_EQ(HeapSize(GetProcessHeap(), 0, table), static_cast<SIZE_T>(c.size * c.size));
        HeapFree(GetProcessHeap(), 0, table);
    }

    int w, h;
    BYTE* first = nullptr;
    BYTE* second = nullptr;
    MISC_GetHalftoneTable(3, &w, &h, &first);
    MISC_GetHalftoneTable(3, &w, &h, &second);
    ASSERT_TRUE(first && second);
    ASSERT_NE(first, second);
    const BYTE original = first[0];
    first[0] = static_cast<BYTE>(original + 1);
    EXPECT_EQ(second[0], original);
    BYTE* third = nullptr;
    MISC_GetHalftoneTable(3, &w, &h, &third);
    EXPECT_EQ(third[0], original) << "the constant table is untouched";
    for (BYTE* t : {first, second, third})
        HeapFree(GetProcessHeap(), 0, t);
}

TEST(PrivateProfileStruct, ReadsTheRecordOrLeavesItAlone)
{
    ScratchDir scratch;
    std::wstring ini = scratch.File(L"job.ini");
    JobWM job = Record(L"C:\\x.bmp");
    std::string valid = Encode(job);

    JobWM out;
    std::memset(&out, 0x5A, sizeof(out));
    const JobWM untouched = out;
    auto unchanged = [&] { return std::memcmp(&out, &untouched, sizeof(out)) == 0; };

    EXPECT_FALSE(MISC_GetPrivateProfileStruct(L"Job Information", L"Param", &out, sizeof(out), ini.c_str()));
    EXPECT_TRUE(unchanged()) << "no file";
    WriteParam(ini, "");
    EXPECT_FALSE(MISC_GetPrivateProfileStruct(L"Job Information", L"Param", &out, sizeof(out), ini.c_str()));
    EXPECT_TRUE(unchanged()) << "empty value";
    WriteParam(ini, valid + "A");
    EXPECT_FALSE(MISC_GetPrivateProfileStruct(L"Job Information", L"Param", &out, sizeof(out), ini.c_str()));
    EXPECT_TRUE(unchanged()) << "3133 characters";

    WriteParam(ini, valid);
    EXPECT_TRUE(MISC_GetPrivateProfileStruct(L"Job Information", L"Param", &out, sizeof(out), ini.c_str()));
    EXPECT_EQ(std::memcmp(&out, &job, sizeof(job)), 0);

    // A shorter value leaves a zero tail; a stranger character keeps its place.
    std::string shortValue = valid.substr(0, 400);
    shortValue[4] = '-';
    WriteParam(ini, shortValue);
    EXPECT_TRUE(MISC_GetPrivateProfileStruct(L"Job Information", L"Param", &out, sizeof(out), ini.c_str()));
    EXPECT_EQ(out.wm.wmText[0], u'D') << "bytes after the changed group are in place";
    EXPECT_EQ(out.wm.wDensity, 0);
    EXPECT_EQ(out.nWidth, 0);
}

TEST(WatermarkJobResult, CodesOfTheJob)
{
    ScratchDir scratch;
    std::wstring ini = scratch.File(L"job.ini");
    std::wstring bmp = scratch.File(L"wm.bmp");
    struct Case {
        const char* what;
        void (*change)(JobWM&);
        int result;
    };
    const Case cases[] = {
        {"good", [](JobWM&) {}, 1},
        {"range", [](JobWM& j) { j.wm.wStyle = 4; }, -11},
        {"densities", [](JobWM& j) { j.nPageDensity = 5; j.nMaxPageDensity = 3; }, -7},
        {"zero width", [](JobWM& j) { j.nWidth = 0; }, -7},
        {"negative height", [](JobWM& j) { j.nHeight = -5; }, -7},
        {"no file name", [](JobWM& j) { j.wmFileName[0] = 0; }, -7},
        // 1 GiB of rows: refused before anything is allocated.
        {"too large", [](JobWM& j) { j.nWidth = 2147483647; j.nHeight = 16; }, -1},
        {"missing folder", [](JobWM& j) {
             wcscpy(reinterpret_cast<wchar_t*>(j.wmFileName), L"C:\\no\\such\\folder\\wm.bmp"); }, -5},
    };
    for (const Case& c : cases) {
        DeleteFileW(bmp.c_str());
        JobWM job = Record(bmp);
        c.change(job);
        WriteParam(ini, Encode(job));
        EXPECT_EQ(SM_CreateTextBMPUsingIni_New(ini.c_str()), c.result) << c.what;
        EXPECT_EQ(FileExists(bmp), c.result == 1) << c.what;
    }
    EXPECT_EQ(SM_CreateTextBMPUsingIni_New(scratch.File(L"none.ini").c_str()), 0);
}

TEST(WatermarkBitmap, RefusesTablesOutsideTheAcceptedSizes)
{
    ScratchDir scratch;
    std::wstring bmp = scratch.File(L"wm.bmp");
    JobWM job = Record(bmp);
    BYTE table[128 * 128] = {};
    const struct {
        int w;
        int h;
        int result;
    } cases[] = {{16, 8, -7}, {136, 16, -7}, {128, 128, 1}};
    for (const auto& c : cases) {
        iBitmap bitmap;
        DeleteFileW(bmp.c_str());
        EXPECT_EQ(bitmap.iBitmap_BMPCreateTextWM(GetModuleHandleW(nullptr), bmp.c_str(), &job, 120, 40, 1, 1, 1, 1.0f,
                                                 table, c.w, c.h, 0),
                  c.result)
            << c.w << " x " << c.h;
        EXPECT_EQ(FileExists(bmp), c.result == 1);
    }
    iBitmap bitmap;
    EXPECT_EQ(bitmap.iBitmap_BMPCreateTextWM(GetModuleHandleW(nullptr), bmp.c_str(), &job, 120, 40, 1, 1, 1, 1.0f,
                                             nullptr, 16, 16, 0),
              -7);
}

TEST(WatermarkBitmap, FaxDriverGetsTheSameFileFormat)
{
    ScratchDir scratch;
    std::wstring bmp = scratch.File(L"fax.bmp");
    JobWM job = Record(bmp);
    int w, h;
    BYTE* table = nullptr;
    MISC_GetHalftoneTable(0, &w, &h, &table);
    iBitmap bitmap;
    EXPECT_EQ(bitmap.iBitmap_BMPCreateTextWM(GetModuleHandleW(nullptr), bmp.c_str(), &job, 120, 40, 1, 1, 1, 1.0f,
                                             table, w, h, WM_DRIVER_FAX),
              1);
    HeapFree(GetProcessHeap(), 0, table);
    std::vector<unsigned char> bytes = ReadAllBytes(bmp);
    ASSERT_EQ(bytes.size(), 62u + 16u * 40u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[28], 1) << "1 bit per pixel";
}

TEST(WatermarkBitmap, WritesPiecesOfWholeRowsByteForByte)
{
    ScratchDir scratch;
    std::wstring bmp = scratch.File(L"rows.bmp");
    // 51200 rows of 128 bytes: more than one piece of 6451200 bytes.
    const int width = 1024, height = 51200;
    std::vector<BYTE> pixels(static_cast<size_t>(128) * height);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<BYTE>(i / 128 + i);
    iBitmap bitmap;
    ASSERT_EQ(bitmap.iBitmap_CreateBMP(bmp.c_str(), 1, 600, width, height, pixels.data()), 1);
    std::vector<unsigned char> bytes = ReadAllBytes(bmp);
    ASSERT_EQ(bytes.size(), 62 + pixels.size());
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), bytes.begin() + 62));

    EXPECT_EQ(bitmap.iBitmap_CreateBMP(scratch.File(L"x\\y.bmp").c_str(), 1, 600, 8, 1, pixels.data()), -5);
}

// The renderer leaves the context as it found it, drawn or not.
TEST(WatermarkText, ContextStateIsRestoredOnEveryPath)
{
    HDC hdc = CreateCompatibleDC(nullptr);
    ASSERT_NE(hdc, nullptr);
    HBITMAP bitmap = CreateBitmap(200, 100, 1, 1, nullptr);
    HGDIOBJ oldBitmap = SelectObject(hdc, bitmap);
    HFONT mine = CreateFontW(12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
    HGDIOBJ oldFont = SelectObject(hdc, mine);
    SetTextColor(hdc, RGB(1, 2, 3));
    SetBkMode(hdc, OPAQUE);
    SetTextAlign(hdc, TA_RIGHT | TA_BASELINE);

    JobWM drawn = Record(L"");
    JobWM empty = Record(L"");
    empty.wm.wmText[0] = 0;
    JobWM tiny = Record(L"");
    tiny.wm.wFontSize = 1;  // height comes out as 0: no font
    const RECT rect{0, 0, 200, 100};
    for (const JobWM* job : {&drawn, &empty, &tiny}) {
        avDrawWatermarkText(nullptr, hdc, &rect, job, 3);
        avDrawWatermarkText(nullptr, hdc, &rect, job, 69);
        EXPECT_EQ(GetCurrentObject(hdc, OBJ_FONT), mine);
        EXPECT_EQ(GetTextColor(hdc), RGB(1, 2, 3));
        EXPECT_EQ(GetBkMode(hdc), OPAQUE);
        EXPECT_EQ(GetTextAlign(hdc), static_cast<UINT>(TA_RIGHT | TA_BASELINE));
    }
    SelectObject(hdc, oldFont);
    DeleteObject(mine);
    SelectObject(hdc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(hdc);
}

TEST(WatermarkText, FontFromStyleAndHeight)
{
    HDC hdc = CreateCompatibleDC(nullptr);
    ASSERT_NE(hdc, nullptr);
    EXPECT_EQ(avCreateFont(hdc, L"Arial", 1, 0, 0), nullptr) << "a height of 0 gives no font";

    HFONT font = avCreateFont(hdc, L"Arial", 4968, 3, 450);
    ASSERT_NE(font, nullptr);
    LOGFONTW lf{};
    ASSERT_EQ(GetObjectW(font, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_FALSE(lf.lfUnderline);
    EXPECT_EQ(lf.lfEscapement, 450);
    EXPECT_EQ(lf.lfOrientation, 0);
    const int dpi = static_cast<int>(GetDeviceCaps(hdc, VERTRES) * 25.4f / GetDeviceCaps(hdc, VERTSIZE));
    EXPECT_EQ(lf.lfHeight, static_cast<int>(dpi * 4968 / 72 / 10.0 + 0.5));
    EXPECT_EQ(std::wstring(lf.lfFaceName), L"Arial");
    DeleteObject(font);

    font = avCreateFont(hdc, L"No Such Family 123", 720, 12, 0);
    ASSERT_NE(font, nullptr);
    ASSERT_EQ(GetObjectW(font, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(lf.lfCharSet, 0) << "a missing family gives character set 0";
    EXPECT_EQ(lf.lfWeight, 0);
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_TRUE(lf.lfStrikeOut);
    DeleteObject(font);
    DeleteDC(hdc);
}

namespace {

// A white 1-bit DIB section selected into a screen-compatible memory DC:
// the surface the job draws on.
class MonoSurface {
public:
    MonoSurface(int width, int height) : dc_(CreateCompatibleDC(nullptr))
    {
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colours[2];
        } info{};
        info.header.biSize = sizeof(info.header);
        info.header.biWidth = width;
        info.header.biHeight = height;
        info.header.biPlanes = 1;
        info.header.biBitCount = 1;
        info.colours[1] = {255, 255, 255, 0};
        bitmap_ = CreateDIBSection(dc_, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        PatBlt(dc_, 0, 0, width, height, WHITENESS);
        bytes_ = static_cast<size_t>((width + 31) / 32 * 4) * height;
    }
    ~MonoSurface()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    MonoSurface(const MonoSurface&) = delete;
    MonoSurface& operator=(const MonoSurface&) = delete;

    HDC Dc() const { return dc_; }
    std::string Bytes() const
    {
        GdiFlush();
        return std::string(static_cast<const char*>(bits_), bytes_);
    }

private:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
    size_t bytes_ = 0;
};

// The tiled text the plain way, a TextOut per copy.
void DrawEachCopy(HDC hdc, const RECT& rect, const JobWM& job, int scale)
{
    const WCHAR* text = reinterpret_cast<const WCHAR*>(job.wm.wmText);
    const int units = static_cast<int>(wcslen(text));
    const int escapement = WM_Escapement(job.wm.wAngleDegree);
    HFONT font = avCreateFont(hdc, reinterpret_cast<const WCHAR*>(job.wm.wmFaceName),
                              WM_FontHeight(job.wm.wFontSize, scale), job.wm.wStyle, escapement);
    ASSERT_NE(font, nullptr);
    HGDIOBJ old = SelectObject(hdc, font);
    SetTextColor(hdc, RGB(0, 0, 0));
    SetBkMode(hdc, TRANSPARENT);
    SetTextAlign(hdc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    SIZE extent{};
    GetTextExtentPoint32W(hdc, text, units, &extent);
    WM_ForEachCopy(WM_LayoutText(escapement, {extent.cx, extent.cy}), rect.right - rect.left,
                   rect.bottom - rect.top, 1, units, [&](int x, int y) {
                       ExtTextOutW(hdc, rect.left + x, rect.top + y, ETO_CLIPPED, &rect, text,
                                   static_cast<UINT>(units), nullptr);
                   });
    SelectObject(hdc, old);
    DeleteObject(font);
}

} // namespace

// However the renderer lays its tiled copies, the pixels are those of a
// TextOut per copy: every angle class, near-right angles, sizes whose
// ascent makes the rotated offset a near-whole number, styles, and a
// rectangle reaching past the picture.
TEST(WatermarkText, TiledCopiesAreThePixelsOfATextOutEach)
{
    std::vector<int> angles = {0, 1, 89, 90, 91, 179, 180, 181, 269, 270, 271, 359};
    for (int a = 7; a < 360; a += 23)
        angles.push_back(a);
    for (int angle : angles) {
        for (int size : {2, 4, 7}) {
            JobWM job = Record(L"");
            wcscpy(reinterpret_cast<wchar_t*>(job.wm.wmText), size == 4 ? L"Wg ij" : L"DRAFT");
            job.wm.wFontSize = static_cast<uint16_t>(size);
            job.wm.wAngleDegree = static_cast<uint16_t>(angle);
            job.wm.wStyle = static_cast<uint16_t>(angle % 4);
            job.wm.wPlacement = 1;
            const RECT rect = {0, 0, size == 7 ? 540 : 360, size == 7 ? 360 : 240};
            MonoSurface rendered(360, 240), plain(360, 240);
            avDrawWatermarkText(nullptr, rendered.Dc(), &rect, &job, 69);
            DrawEachCopy(plain.Dc(), rect, job, 69);
            EXPECT_TRUE(rendered.Bytes() == plain.Bytes()) << "angle " << angle << ", size " << size;
        }
    }
}
