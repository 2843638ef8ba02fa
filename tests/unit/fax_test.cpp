// The fax page drawn into the same kind of context the bitmap job uses: a
// memory DC with a white 1-bit bitmap of the page size. Fonts vary with the
// display the DC is compatible with, so text is checked by where its ink
// lies, ruled lines by their exact rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/globals.h"
#include "fax/cover_page.h"
#include "fax/fax_page.h"
#include "fax/fax_text.h"
#include "testkit/wine_test.h"

namespace {

class MonoPage {
public:
    MonoPage(int width, int height)
        : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)), bitmap_(CreateBitmap(width, height, 1, 1, nullptr))
    {
        old_ = SelectObject(dc_, bitmap_);
        PatBlt(dc_, 0, 0, width, height, WHITENESS);
    }
    ~MonoPage()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    MonoPage(const MonoPage&) = delete;
    MonoPage& operator=(const MonoPage&) = delete;

    HDC Dc() const { return dc_; }
    RECT Rect() const { return {0, 0, width_, height_}; }

    // Reads the pixels back, top row first; the bitmap is deselected meanwhile.
    void Read()
    {
        stride_ = ((width_ + 31) / 32) * 4;
        bits_.assign(static_cast<size_t>(stride_) * height_, 0xA5);
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colours[2];
        } info = {};
        info.header.biSize = sizeof(info.header);
        info.header.biWidth = width_;
        info.header.biHeight = -height_;
        info.header.biPlanes = 1;
        info.header.biBitCount = 1;
        info.header.biCompression = BI_RGB;
        SelectObject(dc_, old_);
        int rows = GetDIBits(dc_, bitmap_, 0, height_, bits_.data(), reinterpret_cast<BITMAPINFO*>(&info),
                             DIB_RGB_COLORS);
        SelectObject(dc_, bitmap_);
        ASSERT_EQ(rows, height_);
        inkIndex_ = info.colours[0].rgbRed == 0 ? 0 : 1;
    }

    bool Ink(int x, int y) const
    {
        int bit = (bits_[static_cast<size_t>(y) * stride_ + x / 8] >> (7 - x % 8)) & 1;
        return bit == inkIndex_;
    }

    int InkCount(int left, int top, int right, int bottom) const
    {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                n += Ink(x, y);
        return n;
    }
    int InkCount() const { return InkCount(0, 0, width_, height_); }

    bool RowInkedFromTo(int y, int left, int right) const
    {
        return InkCount(left, y, right + 1, y + 1) == right + 1 - left;
    }

    // Rows in [top, bottom) with ink between left and right, as runs: the
    // first row of each run.
    std::vector<int> BandStarts(int left, int top, int right, int bottom) const
    {
        std::vector<int> starts;
        bool inBand = false;
        for (int y = top; y < bottom; ++y) {
            bool ink = InkCount(left, y, right, y + 1) > 0;
            if (ink && !inBand)
                starts.push_back(y);
            inBand = ink;
        }
        return starts;
    }

    const std::vector<unsigned char>& Bits() const { return bits_; }

private:
    int width_;
    int height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_ = nullptr;
    int stride_ = 0;
    int inkIndex_ = 0;
    std::vector<unsigned char> bits_;
};

// Page sizes at 204 x 196 dots per inch.
constexpr int kA4Width = 1728, kA4Height = 2292;
constexpr int kB4Width = 2048, kB4Height = 2809;
constexpr int kA3Width = 2432, kA3Height = 3241;

// Each test starts without the two fax-side files and leaves none behind.
class FaxPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitProcessValues();
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

    void WriteSettings(const std::wstring& lines)
    {
        std::vector<unsigned char> bytes = Utf16File(lines);
        ASSERT_TRUE(WriteAllBytes(settings_, bytes.data(), bytes.size()));
    }
    void WriteMessage(const std::wstring& units)
    {
        std::vector<unsigned char> bytes = Utf16File(units);
        ASSERT_TRUE(WriteAllBytes(cover_, bytes.data(), bytes.size()));
    }
    static std::wstring CoverSettings(int paper, const std::wstring& more = L"")
    {
        return L"[DataForSM]\r\nPaperSize=" + std::to_wstring(paper) +
               L"\r\nenableCoverPage=1\r\nOrientation=0\r\nYres=196\r\n" + more;
    }
    static void Draw(MonoPage& page)
    {
        RECT rect = page.Rect();
        WmForFax(GetModuleHandleW(nullptr), page.Dc(), &rect, nullptr);
        page.Read();
    }

    std::wstring settings_;
    std::wstring cover_;
};

} // namespace

TEST_F(FaxPage, PathsAreInTheSharedDocumentsFolder)
{
    std::wstring dir = CommonDocumentsDir();
    const struct {
        int kind;
        std::wstring expected;
    } cases[] = {
        {kFaxSettingsFile, dir + L"str.ini"},
        {kFaxAddressFile, dir + L"WabGet.ini"},
        {kFaxCoverFile, dir + L"cover.ini"},
        {5, dir.substr(0, dir.size() - 1)},
    };
    for (const auto& c : cases) {
        WCHAR path[kTextUnits] = L"left over from before";
        EXPECT_EQ(FAX_GetPathName(path, kTextUnits, c.kind), 1) << c.kind;
        EXPECT_STREQ(path, c.expected.c_str()) << c.kind;
    }
    EXPECT_EQ(FAX_GetPathName(nullptr, kTextUnits, 0), 0);
}

TEST_F(FaxPage, FromLineOnlyAtTheTopLeft)
{
    WriteSettings(L"[DataForSM]\r\nPaperSize=9\r\nenableCoverPage=2\r\nYres=196\r\n"
                  L"[SenderInformation]\r\nName=Ana Ruiz\r\n");
    MonoPage page(kA4Width, kA4Height);
    Draw(page);
    // 25 pt "From: Ana Ruiz" from pixel (6, 6): all ink within 45 rows and
    // 600 columns of there, the F in the first few columns.
    int ink = page.InkCount();
    EXPECT_GT(ink, 300);
    EXPECT_EQ(page.InkCount(6, 6, 600, 51), ink);
    EXPECT_GT(page.InkCount(6, 6, 12, 51), 0);
    EXPECT_GT(page.InkCount(200, 6, 600, 51), 0) << "the name follows From: ";
    EXPECT_FALSE(FileExists(cover_)) << "the From: line never touches the message file";

    // Without a name only "From: " is drawn.
    WriteSettings(L"[DataForSM]\r\nenableCoverPage=2\r\n");
    MonoPage bare(kA4Width, kA4Height);
    Draw(bare);
    EXPECT_GT(bare.InkCount(), 0);
    EXPECT_EQ(bare.InkCount(6, 6, 200, 51), bare.InkCount());
}

TEST_F(FaxPage, CoverPageFormsHaveTheirRuledLinesAndMessage)
{
    const struct {
        const char* name;
        int paper, width, height;
        int lineLeft, lineRight, line12Row, line18Row;
        int thinLeft, thinRight, line13Row;
        int message1Row, message2Row;
    } forms[] = {
        {"A4", 9, kA4Width, kA4Height, 50, 1650, 240, 810, 310, 1600, 326, 836, 901},
        {"B4", 12, kB4Width, kB4Height, 50, 1950, 220, 806, 340, 1900, 326, 859, 948},
        {"A3", 8, kA3Width, kA3Height, 60, 2370, 230, 806, 400, 2340, 328, 836, 926},
    };
    for (const auto& f : forms) {
        SCOPED_TRACE(f.name);
        WriteSettings(CoverSettings(f.paper));
        WriteMessage(L"Hello\r\nWorld\r\n");
        MonoPage page(f.width, f.height);
        Draw(page);

        // Pen ends are round: the full width shows from 2 pixels in.
        EXPECT_TRUE(page.RowInkedFromTo(f.line12Row, f.lineLeft + 2, f.lineRight - 2));
        EXPECT_TRUE(page.RowInkedFromTo(f.line18Row, f.lineLeft + 2, f.lineRight - 2));
        EXPECT_TRUE(page.RowInkedFromTo(f.line13Row, f.thinLeft + 1, f.thinRight - 1));
        EXPECT_EQ(page.InkCount(0, f.line12Row, f.lineLeft - 3, f.line12Row + 1), 0);
        EXPECT_EQ(page.InkCount(f.lineRight + 3, f.line12Row, f.width, f.line12Row + 1), 0);
        EXPECT_EQ(page.InkCount(0, f.line12Row + 3, f.width, f.line12Row + 4), 0) << "width 5 covers two rows each side";
        EXPECT_EQ(page.InkCount(0, f.line13Row + 2, f.thinLeft - 2, f.line13Row + 3), 0);

        // The title lies above line 12, from row 65 or so.
        EXPECT_GT(page.InkCount(68, 60, f.width, f.line12Row - 3), 1000);

        // Two message bands below line 18, one line step apart, starting at column 119.
        std::vector<int> bands = page.BandStarts(100, f.line18Row + 3, f.width, f.height);
        ASSERT_EQ(bands.size(), 2u);
        EXPECT_GE(bands[0], f.message1Row);
        EXPECT_LE(bands[0], f.message1Row + 15);
        EXPECT_EQ(bands[1] - bands[0], f.message2Row - f.message1Row);
        EXPECT_EQ(page.InkCount(0, f.line18Row + 3, 119, f.height), 0);
        EXPECT_GT(page.InkCount(119, bands[0], 135, bands[0] + 30), 0);
    }
}

TEST_F(FaxPage, MessageLinesKeepTheirPlaces)
{
    MonoPage reference(kA4Width, kA4Height);
    WriteSettings(CoverSettings(9));
    WriteMessage(L"HHHH\r\nHHHH\r\n");
    Draw(reference);

    // Every line is of H, so each band starts at the top of an H.
    const int kLetters = 200;
    std::vector<int> expected = reference.BandStarts(100, 813, kLetters, kA4Height);
    ASSERT_EQ(expected.size(), 2u);
    EXPECT_EQ(expected[1] - expected[0], 65);

    // The CR LF that ends a line is not drawn, so a last line without one
    // gives the very same page.
    WriteMessage(L"HHHH\r\nHHHH");
    MonoPage unended(kA4Width, kA4Height);
    Draw(unended);
    EXPECT_TRUE(unended.Bits() == reference.Bits()) << "no final CR LF";

    // An overlong first line runs off the page; the next line keeps its row.
    WriteMessage(std::wstring(1500, L'H') + L"\r\nHHHH\r\n");
    MonoPage overlong(kA4Width, kA4Height);
    Draw(overlong);
    EXPECT_EQ(overlong.BandStarts(100, 813, kLetters, kA4Height), expected);
    std::vector<int> bands = overlong.BandStarts(100, 813, kA4Width, kA4Height);
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_GT(overlong.InkCount(kA4Width - 20, bands[0], kA4Width, bands[0] + 20), 0) << "clipped at the page edge";

    // CR or LF alone does not end a line: one band only.
    WriteMessage(L"Hello\rWorld\nAgain\r\n");
    MonoPage single(kA4Width, kA4Height);
    Draw(single);
    EXPECT_EQ(single.BandStarts(100, 813, kA4Width, kA4Height).size(), 1u);

    // An odd byte after the last unit is ignored.
    std::vector<unsigned char> bytes = Utf16File(L"HHHH\r\nHHHH\r\n");
    bytes.push_back('Z');
    ASSERT_TRUE(WriteAllBytes(cover_, bytes.data(), bytes.size()));
    MonoPage odd(kA4Width, kA4Height);
    Draw(odd);
    EXPECT_TRUE(odd.Bits() == reference.Bits());
}

TEST_F(FaxPage, MissingMessageFileIsCreatedWithItsMarkOnly)
{
    WriteSettings(CoverSettings(9));
    MonoPage page(kA4Width, kA4Height);
    Draw(page);
    std::vector<unsigned char> bytes = ReadAllBytes(cover_);
    EXPECT_EQ(bytes, (std::vector<unsigned char>{0xFF, 0xFE}));
    EXPECT_TRUE(page.RowInkedFromTo(240, 52, 1648)) << "the form is drawn";
    EXPECT_EQ(page.InkCount(0, 813, kA4Width, kA4Height), 0) << "no message";

    // A message file too short for a whole unit draws no message either.
    const unsigned char one[] = {0xFF};
    ASSERT_TRUE(WriteAllBytes(cover_, one, 1));
    MonoPage shortFile(kA4Width, kA4Height);
    Draw(shortFile);
    EXPECT_EQ(shortFile.InkCount(0, 813, kA4Width, kA4Height), 0);
    EXPECT_EQ(ReadAllBytes(cover_).size(), 1u) << "an existing file is never written";
}

TEST_F(FaxPage, NothingDrawnWithoutACoverPageToDraw)
{
    const struct {
        const char* name;
        const wchar_t* settings;
    } cases[] = {
        {"no settings file", nullptr},
        {"letter paper", L"[DataForSM]\r\nPaperSize=1\r\nenableCoverPage=1\r\n"},
        {"cover page off", L"[DataForSM]\r\nPaperSize=9\r\nenableCoverPage=0\r\n"},
        {"unknown cover page value", L"[DataForSM]\r\nPaperSize=9\r\nenableCoverPage=3\r\n"},
    };
    for (const auto& c : cases) {
        DeleteFileW(settings_.c_str());
        if (c.settings)
            WriteSettings(c.settings);
        MonoPage page(kA4Width, kA4Height);
        Draw(page);
        EXPECT_EQ(page.InkCount(), 0) << c.name;
    }
}

TEST_F(FaxPage, SenderDefaultsAndOrientation)
{
    WriteMessage(L"Hello\r\n");
    WriteSettings(CoverSettings(9));
    MonoPage defaults(kA4Width, kA4Height);
    Draw(defaults);

    WriteSettings(CoverSettings(9, L"[SenderInformation]\r\nName=nothing\r\nCom=nothing\r\nDep=nothing\r\n"
                                   L"Tel=nothing\r\nFaxNum=nothing\r\n[SMTextOut]\r\nFAX=FAX\r\nFROM=FROM\r\n"
                                   L"COM=COM\r\nDEP=DEP\r\nTEL=TEL\r\nMESG=MESG\r\n"));
    MonoPage spelledOut(kA4Width, kA4Height);
    Draw(spelledOut);
    EXPECT_TRUE(spelledOut.Bits() == defaults.Bits()) << "missing keys read as their defaults";

    WriteSettings(CoverSettings(9, L"[SenderInformation]\r\nName=Ana Ruiz\r\n"));
    MonoPage named(kA4Width, kA4Height);
    Draw(named);
    EXPECT_FALSE(named.Bits() == defaults.Bits());

    WriteSettings(L"[DataForSM]\r\nPaperSize=9\r\nenableCoverPage=1\r\nOrientation=1\r\nXres=204\r\nYres=196\r\n");
    MonoPage landscape(kA4Width, kA4Height);
    Draw(landscape);
    EXPECT_TRUE(landscape.Bits() == defaults.Bits()) << "the fax resolution changes no pixel";
}

TEST(FaxText, FontFollowsStyleBitsAndLeavesTheContextAlone)
{
    MonoPage page(200, 200);
    HDC dc = page.Dc();
    SetViewportOrgEx(dc, 3, 4, nullptr);
    SetWindowOrgEx(dc, 1, 2, nullptr);
    HGDIOBJ fontBefore = GetCurrentObject(dc, OBJ_FONT);

    const struct {
        int style;
        BYTE italic, underline, strikeOut;
    } cases[] = {
        {1, 0, 0, 0}, {2, 1, 0, 0}, {4, 0, 1, 0}, {8, 0, 0, 1}, {0x1F, 1, 1, 1},
    };
    for (const auto& c : cases) {
        HFONT font = FaxCreateFont(dc, L"Arial", 400, 0, c.style, 0, 0, 196);
        ASSERT_NE(font, nullptr) << c.style;
        LOGFONTW lf = {};
        GetObjectW(font, sizeof(lf), &lf);
        EXPECT_EQ(lf.lfItalic, c.italic) << c.style;
        EXPECT_EQ(lf.lfUnderline, c.underline) << c.style;
        EXPECT_EQ(lf.lfStrikeOut, c.strikeOut) << c.style;
        EXPECT_EQ(lf.lfWeight, 100);
        EXPECT_STREQ(lf.lfFaceName, L"Arial");
        EXPECT_GT(lf.lfWidth, 0) << "the first font's average width";
        EXPECT_GT(lf.lfHeight, 40) << "40 pt is over 50 pixels at any screen resolution";
        DeleteObject(font);
    }
    EXPECT_EQ(FaxCreateFont(dc, L"Arial", 0, 0, 1, 0, 0, 196), nullptr);

    POINT viewport = {}, window = {};
    GetViewportOrgEx(dc, &viewport);
    GetWindowOrgEx(dc, &window);
    EXPECT_EQ(viewport.x, 3);
    EXPECT_EQ(viewport.y, 4);
    EXPECT_EQ(window.x, 1);
    EXPECT_EQ(window.y, 2);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), fontBefore);
}

TEST(FaxText, TextIsClippedAndLinesUseDoubledRows)
{
    MonoPage page(400, 300);
    RECT clip = {0, 0, 60, 30};
    TextOutForCoverPage(page.Dc(), &clip, 40, L"WWWWWWWW", 0, 0, 1, 196);
    FaxLineTo(page.Dc(), 196, 10, 100, 300, 100, 1);
    page.Read();
    EXPECT_GT(page.InkCount(0, 0, 60, 30), 100);
    EXPECT_EQ(page.InkCount(60, 0, 400, 199), 0) << "nothing past the clipping rectangle";
    EXPECT_EQ(page.InkCount(0, 30, 400, 199), 0);
    EXPECT_TRUE(page.RowInkedFromTo(200, 10, 299));
    EXPECT_EQ(page.InkCount(0, 201, 400, 300), 0);
    EXPECT_EQ(page.InkCount(300, 200, 400, 201), 0) << "the last pixel of a line is not drawn";
}
