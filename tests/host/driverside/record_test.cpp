// The watermark record as the driver-side library builds it: the program's
// own decoder and range checks read it, natively, with the sanitizers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "driverside/mfpsm_driver.h"
#include "watermark/base64.h"
#include "watermark/settings.h"

namespace {

static_assert(sizeof(MfpsmDrvWatermark) == sizeof(JobWM), "one record size");

void Put(WCHAR* field, DWORD units, const char16_t* text)
{
    ASSERT_EQ(MfpsmDrvCopyText(field, units, reinterpret_cast<const WCHAR*>(text)), ERROR_SUCCESS);
}

// A record the job draws: A4 at 600 dpi, 45 degrees, centred.
MfpsmDrvWatermark Drawable()
{
    MfpsmDrvWatermark wm;
    memset(&wm, 0, sizeof(wm));
    Put(wm.wmText, 260, u"CONFIDENTIAL");
    Put(wm.wmFaceName, 32, u"Arial");
    Put(wm.wmFileName, 260, u"C:\\Users\\ana\\AppData\\Local\\Temp\\wm.bmp");
    wm.wDensity = 60;
    wm.wFontSize = 72;
    wm.wAngleDegree = 45;
    wm.nWidth = 4960;
    wm.nHeight = 7016;
    wm.nDstScale = 1;
    wm.nPageDensity = 1;
    wm.nMaxPageDensity = 1;
    wm.nTextScale = 100;
    return wm;
}

std::string Encoded(const MfpsmDrvWatermark& wm)
{
    std::vector<WCHAR> param(MFPSMDRV_PARAM_UNITS, 0xFFFF);
    EXPECT_EQ(MfpsmDrvEncodeWatermark(&wm, param.data(), MFPSMDRV_PARAM_UNITS), ERROR_SUCCESS);
    EXPECT_EQ(param[MFPSMDRV_PARAM_UNITS - 1], 0) << "terminated";
    return std::string(param.begin(), param.end() - 1);
}

JobWM Decoded(const std::string& param)
{
    JobWM job;
    memset(&job, 0xA5, sizeof(job));
    MISC_Base64Decode(param, reinterpret_cast<uint8_t*>(&job), sizeof(job));
    return job;
}

std::u16string Text(const char16_t* field, size_t units)
{
    return std::u16string(field, std::char_traits<char16_t>::length(field) < units ? std::char_traits<char16_t>::length(field) : units);
}

} // namespace

TEST(Record, DecodesThroughTheProgramsDecoderToTheSameFields)
{
    MfpsmDrvWatermark extreme = Drawable();
    Put(extreme.wmText, 260, std::u16string(259, u'\u6C34').c_str());
    Put(extreme.wmFaceName, 32, u"\u5FAE\u8F6F\u96C5\u9ED1");
    extreme.wDensity = 0xFFFF;
    extreme.wStyle = 3;
    extreme.wPlacement = 1;
    extreme.xShift = -32768;
    extreme.yShift = 32767;
    extreme.nWidth = -1;
    extreme.nHeight = 0x7FFFFFFF;
    extreme.nTextScale = -2147483647 - 1;
    extreme.nTableW = 128;
    extreme.nTableH = 16;
    extreme.HalftoneType = 0xFFFFFFFFu;
    extreme.DriverType = MFPSMDRV_FAX_DRIVER;
    memset(extreme.reserved0, 0x5A, sizeof(extreme.reserved0));
    memset(extreme.reserved2, 0xC3, sizeof(extreme.reserved2));
    extreme.reserved3[3] = 0x81;  // the last byte, in the group padded with "="

    for (const MfpsmDrvWatermark& wm : {Drawable(), extreme}) {
        std::string param = Encoded(wm);
        ASSERT_EQ(param.size(), MISC_Base64Length(sizeof(JobWM)));
        EXPECT_EQ(param.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
                  std::string::npos);
        JobWM job = Decoded(param);
        EXPECT_EQ(Text(job.wm.wmText, 260), Text(reinterpret_cast<const char16_t*>(wm.wmText), 260));
        EXPECT_EQ(Text(job.wm.wmFaceName, 32), Text(reinterpret_cast<const char16_t*>(wm.wmFaceName), 32));
        EXPECT_EQ(Text(job.wmFileName, 260), Text(reinterpret_cast<const char16_t*>(wm.wmFileName), 260));
        EXPECT_EQ(job.wm.wDensity, wm.wDensity);
        EXPECT_EQ(job.wm.wFontSize, wm.wFontSize);
        EXPECT_EQ(job.wm.wStyle, wm.wStyle);
        EXPECT_EQ(job.wm.wAngleDegree, wm.wAngleDegree);
        EXPECT_EQ(job.wm.wPlacement, wm.wPlacement);
        EXPECT_EQ(job.wm.xShift, wm.xShift);
        EXPECT_EQ(job.wm.yShift, wm.yShift);
        EXPECT_EQ(job.nWidth, wm.nWidth);
        EXPECT_EQ(job.nHeight, wm.nHeight);
        EXPECT_EQ(job.nDstScale, wm.nDstScale);
        EXPECT_EQ(job.nPageDensity, wm.nPageDensity);
        EXPECT_EQ(job.nMaxPageDensity, wm.nMaxPageDensity);
        EXPECT_EQ(job.nTextScale, wm.nTextScale);
        EXPECT_EQ(job.nTableW, wm.nTableW);
        EXPECT_EQ(job.nTableH, wm.nTableH);
        EXPECT_EQ(job.HalftoneType, wm.HalftoneType);
        EXPECT_EQ(job.DriverType, wm.DriverType);
        EXPECT_EQ(memcmp(&job, &wm, sizeof(job)), 0) << "the reserved ranges too, byte for byte";
    }
}

// Each range the job checks, at and beyond both ends: the library passes
// exactly the records the program's own check passes, and names the field.
TEST(Record, RangeChecksAgreeWithTheJobs)
{
    struct Case {
        const char* field;
        void (*set)(MfpsmDrvWatermark&, long long);
        long long values[4];
    };
    const Case cases[] = {
        {"wDensity", [](MfpsmDrvWatermark& w, long long v) { w.wDensity = static_cast<WORD>(v); }, {19, 20, 100, 101}},
        {"wFontSize", [](MfpsmDrvWatermark& w, long long v) { w.wFontSize = static_cast<WORD>(v); }, {0, 1, 288, 289}},
        {"wStyle", [](MfpsmDrvWatermark& w, long long v) { w.wStyle = static_cast<WORD>(v); }, {0, 3, 4, 65535}},
        {"wAngleDegree", [](MfpsmDrvWatermark& w, long long v) { w.wAngleDegree = static_cast<WORD>(v); },
         {0, 360, 361, 65535}},
        {"nDstScale", [](MfpsmDrvWatermark& w, long long v) { w.nDstScale = static_cast<LONG>(v); }, {0, 1, 2, 3}},
        {"nPageDensity", [](MfpsmDrvWatermark& w, long long v) { w.nPageDensity = w.nMaxPageDensity = static_cast<LONG>(v); },
         {0, 1, 7, 8}},
        {"nMaxPageDensity", [](MfpsmDrvWatermark& w, long long v) { w.nMaxPageDensity = static_cast<LONG>(v); },
         {-1, 1, 7, 8}},
        {"nTextScale", [](MfpsmDrvWatermark& w, long long v) { w.nTextScale = static_cast<LONG>(v); }, {4, 5, 200, 201}},
        {"wPlacement", [](MfpsmDrvWatermark& w, long long v) { w.wPlacement = static_cast<WORD>(v); }, {0, 1, 2, 65535}},
    };
    for (const Case& c : cases) {
        for (long long value : c.values) {
            MfpsmDrvWatermark wm = Drawable();
            c.set(wm, value);
            JobWM job;
            memcpy(&job, &wm, sizeof(job));
            std::u16string error;
            bool programDraws = WM_CheckSettings(job, &error) == 1;
            const char* field = "unset";
            DWORD rc = MfpsmDrvCheckWatermark(&wm, &field);
            EXPECT_EQ(rc == ERROR_SUCCESS, programDraws) << c.field << " = " << value;
            if (!programDraws) {
                EXPECT_EQ(rc, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
                EXPECT_STREQ(field, c.field) << value;
            } else {
                EXPECT_EQ(field, nullptr) << c.field << " = " << value;
            }
        }
    }
}

// What the drawing refuses after the range checks, and what would make the
// job write somewhere other than the driver meant.
TEST(Record, RefusesWhatTheJobWouldNotWrite)
{
    struct Case {
        const char* what;
        void (*change)(MfpsmDrvWatermark&);
        const char* field;  // null: drawable
    };
    const Case cases[] = {
        {"no width", [](MfpsmDrvWatermark& w) { w.nWidth = 0; }, "nWidth"},
        {"negative height", [](MfpsmDrvWatermark& w) { w.nHeight = -7016; }, "nHeight"},
        {"page density above its maximum", [](MfpsmDrvWatermark& w) { w.nPageDensity = 2; }, "nPageDensity"},
        {"512 MiB exactly", [](MfpsmDrvWatermark& w) { w.nWidth = 32768; w.nHeight = 131072; }, nullptr},
        {"a row more than 512 MiB", [](MfpsmDrvWatermark& w) { w.nWidth = 32768; w.nHeight = 131073; }, "nHeight"},
        {"the widest picture", [](MfpsmDrvWatermark& w) { w.nWidth = 0x7FFFFFFF; w.nHeight = 1; }, nullptr},
        {"text without its end", [](MfpsmDrvWatermark& w) { for (WCHAR& c : w.wmText) c = 'x'; }, "wmText"},
        {"face without its end", [](MfpsmDrvWatermark& w) { for (WCHAR& c : w.wmFaceName) c = 'x'; }, "wmFaceName"},
        {"no picture path", [](MfpsmDrvWatermark& w) { w.wmFileName[0] = 0; }, "wmFileName"},
        {"relative picture path", [](MfpsmDrvWatermark& w) { Put(w.wmFileName, 260, u"wm.bmp"); }, "wmFileName"},
        {"drive-relative path", [](MfpsmDrvWatermark& w) { Put(w.wmFileName, 260, u"C:wm.bmp"); }, "wmFileName"},
        {"device path", [](MfpsmDrvWatermark& w) { Put(w.wmFileName, 260, u"\\\\.\\LPT1"); }, "wmFileName"},
        {"raw path", [](MfpsmDrvWatermark& w) { Put(w.wmFileName, 260, u"\\\\?\\C:\\wm.bmp"); }, "wmFileName"},
        {"named stream", [](MfpsmDrvWatermark& w) { Put(w.wmFileName, 260, u"C:\\t\\wm.bmp:s"); }, "wmFileName"},
        {"a share", [](MfpsmDrvWatermark& w) { Put(w.wmFileName, 260, u"\\\\server\\share\\wm.bmp"); }, nullptr},
        {"path without its end", [](MfpsmDrvWatermark& w) { for (WCHAR& c : w.wmFileName) c = 'x'; }, "wmFileName"},
    };
    for (const Case& c : cases) {
        MfpsmDrvWatermark wm = Drawable();
        c.change(wm);
        const char* field = "unset";
        DWORD rc = MfpsmDrvCheckWatermark(&wm, &field);
        EXPECT_EQ(rc, c.field ? static_cast<DWORD>(ERROR_INVALID_PARAMETER) : static_cast<DWORD>(ERROR_SUCCESS)) << c.what;
        if (c.field)
            EXPECT_STREQ(field, c.field) << c.what;
        else
            EXPECT_EQ(field, nullptr) << c.what;
    }
    EXPECT_EQ(MfpsmDrvCheckWatermark(nullptr, nullptr), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(Record, TextsFitWholeOrNotAtAll)
{
    WCHAR field[8];
    const WCHAR sentinel = 0xBEEF;
    for (WCHAR& c : field)
        c = sentinel;
    const std::u16string seven(7, u'a');
    ASSERT_EQ(MfpsmDrvCopyText(field, 8, reinterpret_cast<const WCHAR*>(seven.c_str())), ERROR_SUCCESS);
    EXPECT_EQ(Text(reinterpret_cast<const char16_t*>(field), 8), seven);

    ASSERT_EQ(MfpsmDrvCopyText(field, 8, reinterpret_cast<const WCHAR*>(u"ab")), ERROR_SUCCESS);
    for (int i = 2; i < 8; ++i)
        EXPECT_EQ(field[i], 0) << "the rest of the field is zero: " << i;

    const std::u16string eight(8, u'b');
    EXPECT_EQ(MfpsmDrvCopyText(field, 8, reinterpret_cast<const WCHAR*>(eight.c_str())),
              static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(Text(reinterpret_cast<const char16_t*>(field), 8), u"ab") << "left as it was";
    EXPECT_EQ(MfpsmDrvCopyText(field, 0, reinterpret_cast<const WCHAR*>(u"")), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(MfpsmDrvCopyText(nullptr, 8, reinterpret_cast<const WCHAR*>(u"")), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(MfpsmDrvCopyText(field, 8, nullptr), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(Record, EncodingNeedsRoomForTheWholeValue)
{
    MfpsmDrvWatermark wm = Drawable();
    std::vector<WCHAR> param(MFPSMDRV_PARAM_UNITS, 0xBEEF);
    EXPECT_EQ(MfpsmDrvEncodeWatermark(&wm, param.data(), MFPSMDRV_PARAM_UNITS - 1),
              static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(param[0], 0xBEEF) << "nothing written";
    EXPECT_EQ(MfpsmDrvEncodeWatermark(nullptr, param.data(), MFPSMDRV_PARAM_UNITS),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(MfpsmDrvEncodeWatermark(&wm, nullptr, MFPSMDRV_PARAM_UNITS), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}
