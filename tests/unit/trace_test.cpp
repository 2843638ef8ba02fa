#include <gtest/gtest.h>

#include <string>

#include "common/globals.h"
#include "common/trace.h"
#include "testkit/wine_test.h"

namespace {

// Switches the facility on with a log file for one test, and back off after.
class TraceLog : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = g_TraceSwitches;
        log_ = scratch_.File(L"trace.log");
        g_TraceSwitches.minLevel = 1;
        g_TraceSwitches.channel = 3;
        g_TraceSwitches.channelFlags[2] = 1;
        g_TraceSwitches.logFileFlag = 1;
        wcscpy(g_TraceSwitches.logFilePath, log_.c_str());
    }
    void TearDown() override { g_TraceSwitches = saved_; }

    std::string Log() const
    {
        std::vector<unsigned char> bytes = ReadAllBytes(log_);
        return std::string(bytes.begin(), bytes.end());
    }

    ScratchDir scratch_;
    std::wstring log_;
    TraceSwitches saved_;
};

const std::string kMarker = "-------------------------------------->ERROR";

} // namespace

TEST_F(TraceLog, WritesNestedLinesWithIndentSeparatorAndMarker)
{
    TRACE_In(1, L"Outer");
    TRACE_In(1, L"Inner");
    TRACE_Msg(1, L"count = %d, name = %ls", 7, L"abc");
    TRACE_Msg(4, L"failed %x", 255u);
    TRACE_Out(1);
    TRACE_Tag(L"MISC_Remove", L"remove file %ls", L"C:\\x.tmp");
    TRACE_TagError(L"GetErrCode", L"bad");
    TRACE_Out(1);

    EXPECT_EQ(Log(), "Outer in, 2\r\n"
                     "++Inner in, 4\r\n"
                     "++++Inner::count = 7, name = abc\r\n"
                     "++++Inner::failed ff" + kMarker + "\r\n"
                     "++Inner out\r\n"
                     "[MISC_Remove]::remove file C:\\x.tmp\r\n"
                     "[GetErrCode]::bad" + kMarker + "\r\n"
                     "Outer out\r\n");
}

TEST_F(TraceLog, LevelFilterDropsLowLevelsButNotTags)
{
    g_TraceSwitches.minLevel = 2;
    TRACE_In(1, L"Quiet");
    TRACE_Msg(1, L"dropped");
    TRACE_Msg(4, L"kept");
    TRACE_Tag(L"T", L"tag kept");
    TRACE_Out(1);
    EXPECT_EQ(Log(), "++Quiet::kept" + kMarker + "\r\n[T]::tag kept\r\n");
}

TEST_F(TraceLog, ExitWithoutEntryStaysAtZero)
{
    TRACE_Out(1);
    TRACE_Out(1);
    TRACE_In(1, L"Fresh");
    TRACE_Out(1);
    EXPECT_EQ(Log(), " out\r\n out\r\nFresh in, 2\r\nFresh out\r\n");
}

TEST_F(TraceLog, LinesGoToTheFileInTheAnsiCodePage)
{
    TRACE_Tag(L"T", L"caf\u00e9 \u4e2d");
    std::string expected = "[T]::caf\xe9 ?\r\n";
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_EQ(Log(), expected);
}

TEST_F(TraceLog, OverlongLinesAreCut)
{
    std::wstring longText(3000, L'x');
    TRACE_Tag(L"T", L"%ls", longText.c_str());
    std::string log = Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.size(), 1023u + 2u);
    EXPECT_EQ(log.substr(0, 5), "[T]::");
}

TEST_F(TraceLog, SwitchedOffWritesNothing)
{
    struct Case {
        unsigned minLevel;
        int channel;
        int flag;
    } cases[] = {{0, 3, 1}, {1, 255, 1}, {1, 0, 1}, {1, 3, 0}};
    for (const Case& c : cases) {
        g_TraceSwitches.minLevel = c.minLevel;
        g_TraceSwitches.channel = c.channel;
        g_TraceSwitches.channelFlags[2] = c.flag;
        TRACE_In(4, L"Off");
        TRACE_Msg(4, L"no");
        TRACE_Tag(L"T", L"no");
        TRACE_TagError(L"T", L"no");
        TRACE_Out(4);
        EXPECT_FALSE(TRACE_IsOn());
    }
    EXPECT_FALSE(FileExists(log_));
}

TEST(TraceShipped, DefaultsKeepTheFacilityOff)
{
    EXPECT_EQ(g_TraceSwitches.minLevel, 0u);
    EXPECT_EQ(g_TraceSwitches.channel, 255);
    EXPECT_EQ(g_TraceSwitches.logFileFlag, 0);
    EXPECT_FALSE(TRACE_IsOn());
}
