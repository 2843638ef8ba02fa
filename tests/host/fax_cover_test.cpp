#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

#include "fax/cover_geometry.h"
#include "fax/cover_text.h"

namespace {

std::vector<CoverMessageLine> Split(std::u16string_view units, int firstY, int step)
{
    std::vector<unsigned char> bytes;
    for (char16_t u : units) {
        bytes.push_back(static_cast<unsigned char>(u & 0xFF));
        bytes.push_back(static_cast<unsigned char>(u >> 8));
    }
    CoverMessageSplit split = FAX_StartCoverMessage(firstY, step);
    std::vector<CoverMessageLine> lines;
    FAX_FeedCoverMessage(split, bytes.data(), bytes.size(), &lines);
    FAX_EndCoverMessage(split, &lines);
    return lines;
}

std::string Narrow(std::u16string_view s)
{
    std::string out;
    for (char16_t c : s)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

} // namespace

TEST(FaxGeometry, PositionsBecomeFaxPixels)
{
    const struct {
        int x, y, px, py;
    } cases[] = {
        {350, 2560, 119, 836}, {200, 200, 68, 65}, {350, 2760, 119, 901}, {20, 20, 6, 6},
        {0, 0, 0, 0},          {2, 3, 0, 0},       {-350, -2560, -119, -836},
        // multiplied before dividing, in 64 bits: no overflow at the extremes
        {INT_MAX, INT_MAX, 730144439, 701511324},
    };
    for (const auto& c : cases) {
        FaxPoint p = FAX_PosToPixel(c.x, c.y);
        EXPECT_EQ(p.x, c.px) << c.x;
        EXPECT_EQ(p.y, c.py) << c.y;
    }
    EXPECT_EQ(FAX_LineRow(120), 240);
    EXPECT_EQ(FAX_LineRow(405), 810);
}

TEST(FaxGeometry, ResolutionUsesSinglePrecisionInch)
{
    EXPECT_EQ(FAX_ResolutionFromSize(1920, 508), 95);
    EXPECT_EQ(FAX_ResolutionFromSize(1080, 286), 95);
    EXPECT_EQ(FAX_ResolutionFromSize(1920, 0), 0);
    EXPECT_EQ(FAX_ResolutionFromSize(0, 508), 0);
    EXPECT_EQ(FAX_ResolutionFromSize(INT_MAX, 1), 0);
}

TEST(FaxGeometry, FontHeightsAtNinetyFiveDpi)
{
    int point = FAX_TenthsToPoint(95, 400);
    EXPECT_EQ(point, 527);
    EXPECT_EQ(FAX_FirstFontHeight(point), 53);
    EXPECT_EQ(FAX_FinalFontHeight(53), 50);
    EXPECT_EQ(FAX_FirstFontHeight(-527), 53);  // a mapping mode with y upward
    EXPECT_EQ(FAX_FirstFontHeight(4), 0);
    EXPECT_EQ(FAX_FirstFontHeight(5), 1);
    EXPECT_GT(FAX_FirstFontHeight(INT_MIN), 0);
}

TEST(FaxMessage, BytesArriveInAnyPieces)
{
    // "Hi" CR LF, U+00E9, then an odd byte: the pieces must not matter.
    const unsigned char bytes[] = {'H', 0, 'i', 0, 0x0D, 0, 0x0A, 0, 0xE9, 0, 'Z'};
    for (size_t piece : {size_t(1), size_t(2), size_t(3), sizeof(bytes)}) {
        CoverMessageSplit split = FAX_StartCoverMessage(2560, 200);
        std::vector<CoverMessageLine> lines;
        for (size_t at = 0; at < sizeof(bytes); at += piece)
            FAX_FeedCoverMessage(split, bytes + at, std::min(piece, sizeof(bytes) - at), &lines);
        FAX_EndCoverMessage(split, &lines);
        ASSERT_EQ(lines.size(), 2u) << piece;
        EXPECT_EQ(lines[0].text, u"Hi") << piece;
        EXPECT_EQ(lines[1].text, u"\u00E9") << piece;
        EXPECT_EQ(lines[1].y, 2760) << piece;
    }
    CoverMessageSplit split = FAX_StartCoverMessage(0, 1);
    std::vector<CoverMessageLine> lines;
    FAX_FeedCoverMessage(split, bytes, 1, &lines);
    FAX_EndCoverMessage(split, &lines);
    EXPECT_TRUE(lines.empty()) << "a lone byte is no unit";
}

TEST(FaxMessage, OnlyCrLfEndsALine)
{
    using Lines = std::vector<std::pair<std::u16string, int>>;
    const struct {
        const char* name;
        std::u16string units;
        Lines expected;
    } cases[] = {
        {"empty", u"", {}},
        {"two ended lines", u"Hello\r\nWorld\r\n", {{u"Hello", 2560}, {u"World", 2760}}},
        {"last line unended", u"Hello\r\nWorld", {{u"Hello", 2560}, {u"World", 2760}}},
        {"CR alone", u"a\rb\r\n", {{u"a\rb", 2560}}},
        {"LF alone", u"a\nb", {{u"a\nb", 2560}}},
        {"LF CR is no end", u"a\n\rb", {{u"a\n\rb", 2560}}},
        {"empty lines count", u"\r\n\r\nx", {{u"", 2560}, {u"", 2760}, {u"x", 2960}}},
        {"CR at the very end", u"x\r", {{u"x\r", 2560}}},
    };
    for (const auto& c : cases) {
        Lines got;
        for (const CoverMessageLine& l : Split(c.units, 2560, 200))
            got.emplace_back(l.text, l.y);
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

TEST(FaxMessage, LongLinesAndTheLineBuffer)
{
    std::u16string six(600, u'a');
    auto lines = Split(six + u"\r\n" + u"0123456789\r\n", 2630, 275);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, six);
    EXPECT_EQ(lines[1].text, u"0123456789");
    EXPECT_EQ(lines[1].y, 2905);

    // Overlong: the first 999 units are kept, the rest up to CR LF dropped,
    // and the next line is in its own place.
    std::u16string head(999, u'h');
    std::u16string tail(1500, u't');
    lines = Split(head + tail + u"\r\nnext\r\n", 2560, 200);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, head);
    EXPECT_EQ(lines[1].text, u"next");
    EXPECT_EQ(lines[1].y, 2760);

    // At the edge of the buffer: the LF, though dropped, still ends the line,
    // and a kept CR of the line end is not drawn either.
    std::u16string fits(997, u'f');
    lines = Split(fits + u"\r\n" + fits + u"g\r\n" + fits + u"gh\r\nz", 0, 1);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].text, fits);
    EXPECT_EQ(lines[1].text, fits + u"g");
    EXPECT_EQ(lines[2].text, fits + u"gh");
    EXPECT_EQ(lines[3].text, u"z");
    EXPECT_EQ(lines[3].y, 3);
}

TEST(FaxMessage, LinesBeyondTheIntRangeAreNotProduced)
{
    auto lines = Split(u"a\r\nb\r\nc", INT_MAX - 10, 10);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].y, INT_MAX);
}

TEST(FaxFromLine, NameIsCutToFitTheLine)
{
    EXPECT_EQ(FAX_FromLine(u""), u"From: ");
    EXPECT_EQ(FAX_FromLine(u"Ana Ruiz"), u"From: Ana Ruiz");
    std::u16string name253(253, u'n');
    EXPECT_EQ(FAX_FromLine(name253), u"From: " + name253);
    std::u16string text = FAX_FromLine(std::u16string(400, u'n'));
    EXPECT_EQ(text.size(), kFromLineUnits - 1);
    EXPECT_EQ(Narrow(text.substr(0, 6)), "From: ");
}
