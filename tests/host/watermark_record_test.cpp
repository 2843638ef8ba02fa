// The stored form of the watermark settings record and the job's range checks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "watermark/base64.h"
#include "watermark/settings.h"

namespace {

std::vector<uint8_t> Decode(std::string_view text, size_t size, uint8_t fill = 0xAA)
{
    std::vector<uint8_t> out(size + 1, fill);
    MISC_Base64Decode(text, out.data(), size);
    EXPECT_EQ(out[size], fill) << "wrote past the record";
    out.resize(size);
    return out;
}

JobWM ValidJob()
{
    JobWM job{};
    job.wm.wDensity = 60;
    job.wm.wFontSize = 72;
    job.nDstScale = 1;
    job.nPageDensity = 1;
    job.nMaxPageDensity = 1;
    job.nTextScale = 100;
    return job;
}

} // namespace

TEST(Base64, DecodesInPlaceWithZeroForStrangers)
{
    const struct {
        const char* text;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"TWFu", {'M', 'a', 'n'}},
        {"AAECAwQF", {0, 1, 2, 3, 4, 5}},
        {"+/+/", {0xFB, 0xFF, 0xBF}},
        {"TWE=", {'M', 'a', 0}},            // padding is six zero bits
        {"TW==", {'M', 0x60, 0}},
        {"T Fu", {0x4C, 0x01, 0x6E}},       // a space keeps its position: 0 bits
        {"T-Fu", {0x4C, 0x01, 0x6E}},
        {"\xC3\xA9" "Fu", {0x00, 0x01, 0x6E}},  // bytes of another code page
        {"TWFuTWFu", {'M', 'a', 'n', 'M', 'a', 'n'}},
        {"TWFu", {'M', 'a', 'n', 0, 0, 0}},  // a short text leaves a zero tail
        {"TW", {'M', 0x60, 0, 0, 0, 0}},
        {"", {0, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Decode(c.text, c.bytes.size()), c.bytes) << c.text;
}

TEST(Base64, RecordSizeNotAMultipleOfThreeStopsAtTheRecord)
{
    EXPECT_EQ(Decode("TWFuTWFu", 4), (std::vector<uint8_t>{'M', 'a', 'n', 'M'}));
    EXPECT_EQ(Decode("TWFuTWFu", 5), (std::vector<uint8_t>{'M', 'a', 'n', 'M', 'a'}));
}

TEST(Base64, EncoderRoundTripsEveryLengthAndByte)
{
    std::vector<uint8_t> bytes(300);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 97 + 13);
    for (size_t n : {size_t{1}, size_t{2}, size_t{3}, size_t{4}, size_t{5}, size_t{256}, size_t{300}}) {
        std::string text = MISC_Base64Encode(bytes.data(), n);
        EXPECT_EQ(text.size(), MISC_Base64Length(n));
        EXPECT_EQ(Decode(text, n), std::vector<uint8_t>(bytes.begin(), bytes.begin() + n)) << n;
    }
    EXPECT_EQ(MISC_Base64Encode(reinterpret_cast<const uint8_t*>("Ma"), 2), "TWE=");
    EXPECT_EQ(MISC_Base64Encode(reinterpret_cast<const uint8_t*>("M"), 1), "TQ==");
}

TEST(Base64, WholeRecordRoundTrip)
{
    JobWM job = ValidJob();
    std::memcpy(job.wm.wmText, u"DRAFT", 12);
    job.wm.xShift = -3;
    job.nWidth = 4960;
    job.HalftoneType = 0xFFFFFFFFu;
    job.DriverType = 0x200;
    std::string text = MISC_Base64Encode(reinterpret_cast<const uint8_t*>(&job), sizeof(job));
    ASSERT_EQ(text.size(), 3132u);
    JobWM back{};
    MISC_Base64Decode(text, reinterpret_cast<uint8_t*>(&back), sizeof(back));
    EXPECT_EQ(std::memcmp(&job, &back, sizeof(job)), 0);
    EXPECT_EQ(std::u16string(back.wm.wmText), u"DRAFT");
    EXPECT_EQ(back.wm.xShift, -3);
    EXPECT_EQ(back.DriverType, 0x200u);
}

TEST(WatermarkSettings, EveryRangeBoundary)
{
    struct Case {
        const char* what;
        void (*set)(JobWM&);
        bool passes;
        std::u16string message;
    };
    const Case cases[] = {
        {"density 20", [](JobWM& j) { j.wm.wDensity = 20; }, true, u""},
        {"density 100", [](JobWM& j) { j.wm.wDensity = 100; }, true, u""},
        {"density 19", [](JobWM& j) { j.wm.wDensity = 19; }, false, u"wDensity error"},
        {"density 101", [](JobWM& j) { j.wm.wDensity = 101; }, false, u"wDensity error"},
        {"font 1", [](JobWM& j) { j.wm.wFontSize = 1; }, true, u""},
        {"font 288", [](JobWM& j) { j.wm.wFontSize = 288; }, true, u""},
        {"font 0", [](JobWM& j) { j.wm.wFontSize = 0; }, false, u"wFontSize error, 0"},
        {"font 289", [](JobWM& j) { j.wm.wFontSize = 289; }, false, u"wFontSize error, 289"},
        {"font 65535", [](JobWM& j) { j.wm.wFontSize = 65535; }, false, u"wFontSize error, 65535"},
        {"style 3", [](JobWM& j) { j.wm.wStyle = 3; }, true, u""},
        {"style 4", [](JobWM& j) { j.wm.wStyle = 4; }, false, u"wStyle error"},
        {"angle 360", [](JobWM& j) { j.wm.wAngleDegree = 360; }, true, u""},
        {"angle 361", [](JobWM& j) { j.wm.wAngleDegree = 361; }, false, u"wAngleDegree error"},
        {"dst scale 2", [](JobWM& j) { j.nDstScale = 2; }, true, u""},
        {"dst scale 0", [](JobWM& j) { j.nDstScale = 0; }, false, u"nDstScale error"},
        {"dst scale 3", [](JobWM& j) { j.nDstScale = 3; }, false, u"nDstScale error"},
        {"dst scale -1", [](JobWM& j) { j.nDstScale = -1; }, false, u"nDstScale error"},
        {"page density 7", [](JobWM& j) { j.nPageDensity = 7; j.nMaxPageDensity = 7; }, true, u""},
        {"page density 0", [](JobWM& j) { j.nPageDensity = 0; }, false, u"nPageDensity error"},
        {"page density 8", [](JobWM& j) { j.nPageDensity = 8; }, false, u"nPageDensity error"},
        {"max density 0", [](JobWM& j) { j.nMaxPageDensity = 0; }, false, u"nMaxPageDensity error"},
        {"max density 8", [](JobWM& j) { j.nMaxPageDensity = 8; }, false, u"nMaxPageDensity error"},
        {"text scale 5", [](JobWM& j) { j.nTextScale = 5; }, true, u""},
        {"text scale 200", [](JobWM& j) { j.nTextScale = 200; }, true, u""},
        {"text scale 4", [](JobWM& j) { j.nTextScale = 4; }, false, u"fTextScale = 4/100"},
        {"text scale 201", [](JobWM& j) { j.nTextScale = 201; }, false, u"fTextScale = 201/100"},
        {"text scale -100", [](JobWM& j) { j.nTextScale = -100; }, false, u"fTextScale = -100/100"},
        {"placement 1", [](JobWM& j) { j.wm.wPlacement = 1; }, true, u""},
        {"placement 2", [](JobWM& j) { j.wm.wPlacement = 2; }, false, u"wPlacement error"},
        // Only checked, not compared here: the bitmap object compares them.
        {"density above max", [](JobWM& j) { j.nPageDensity = 5; j.nMaxPageDensity = 3; }, true, u""},
    };
    for (const Case& c : cases) {
        JobWM job = ValidJob();
        c.set(job);
        std::u16string message = u"untouched";
        int result = WM_CheckSettings(job, &message);
        EXPECT_EQ(result, c.passes ? 1 : WM_RANGE_ERROR) << c.what;
        EXPECT_EQ(message, c.passes ? u"untouched" : c.message) << c.what;
    }
}

TEST(WatermarkSettings, OnlyTheFirstFieldOutOfRangeIsReported)
{
    JobWM job{};  // all zero: density, font size, scales out of range
    std::u16string message;
    EXPECT_EQ(WM_CheckSettings(job, &message), WM_RANGE_ERROR);
    EXPECT_EQ(message, u"wDensity error");

    job = ValidJob();
    job.wm.wPlacement = 2;
    job.nTextScale = 0;
    job.nMaxPageDensity = 9;
    job.wm.wAngleDegree = 400;
    const std::u16string order[] = {u"wAngleDegree error", u"nMaxPageDensity error", u"fTextScale = 0/100",
                                    u"wPlacement error"};
    for (const std::u16string& expected : order) {
        ASSERT_EQ(WM_CheckSettings(job, &message), WM_RANGE_ERROR);
        EXPECT_EQ(message, expected);
        if (expected == order[0])
            job.wm.wAngleDegree = 0;
        else if (expected == order[1])
            job.nMaxPageDensity = 7;
        else if (expected == order[2])
            job.nTextScale = 100;
    }
}
