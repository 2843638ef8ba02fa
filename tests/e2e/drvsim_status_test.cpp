// drvsim's status commands as the monitor's tests and integrators use them.
#include <gtest/gtest.h>

#include "testkit/wine_test.h"

namespace {

constexpr DWORD kTimeoutMs = 20000;

class DrvsimStatus : public ::testing::Test {
protected:
    void SetUp() override
    {
        file_ = CommonDocumentsDir() + L"StatusMonitorV3.ini";
        WritePrivateProfileStringW(L"Printer Information", nullptr, nullptr, file_.c_str());
        WritePrivateProfileStringW(L"Job Information", nullptr, nullptr, file_.c_str());
    }
    int Run(const std::wstring& args, std::string* output = nullptr)
    {
        int code = -1;
        std::string out = RunCapture(L"\"" + BesideTest(L"drvsim.exe") + L"\" " + args, kTimeoutMs, &code);
        if (output)
            *output = out;
        return code;
    }
    std::wstring Key(const wchar_t* key, const wchar_t* section = L"Printer Information")
    {
        wchar_t value[300] = L"";
        GetPrivateProfileStringW(section, key, L"<none>", value, 300, file_.c_str());
        return value;
    }
    std::wstring file_;
};

} // namespace

TEST_F(DrvsimStatus, WritesAStatusTheMonitorWillTake)
{
    ASSERT_EQ(Run(L"status 277 -4 --store \"Weekly report\" --printer \"Office MFP\" --job 7"), 0);
    EXPECT_EQ(Key(L"Status"), L"277|-4|StoreName|Weekly report|");
    EXPECT_EQ(Key(L"PrinterName"), L"Office MFP");
    EXPECT_EQ(Key(L"JobID", L"Job Information"), L"7");
    std::wstring first = Key(L"LastMsg");
    EXPECT_GT(wcstoul(first.c_str(), nullptr, 10), 0ul) << "a file without a stamp starts from the clock, never 0";
    EXPECT_EQ(Key(L"Message"), L"1027");

    WritePrivateProfileStringW(L"Printer Information", L"LastMsg", L"2147483647", file_.c_str());
    ASSERT_EQ(Run(L"status --raw \"33|5\""), 0);
    EXPECT_EQ(Key(L"Status"), L"33|5");
    EXPECT_EQ(Key(L"LastMsg"), L"1") << "never 0, never the same";
    EXPECT_EQ(Key(L"PrinterName"), L"Office MFP") << "kept when not given";

    ASSERT_EQ(Run(L"status"), 0);
    EXPECT_EQ(Key(L"Status"), L"");
    EXPECT_EQ(Key(L"LastMsg"), L"2");
}

TEST_F(DrvsimStatus, CloseShowGetAndWait)
{
    ASSERT_EQ(Run(L"show 0"), 0);
    EXPECT_EQ(Key(L"ShowSM"), L"0");
    ASSERT_EQ(Run(L"close"), 0);
    EXPECT_EQ(Key(L"Message"), L"1026");
    EXPECT_EQ(Run(L"wait Message 1026 --timeout-ms 100"), 0);
    EXPECT_EQ(Run(L"wait Message 0 --timeout-ms 100"), 1);

    std::string out;
    ASSERT_EQ(Run(L"status 5 --job 9", &out), 0);
    ASSERT_EQ(Run(L"get", &out), 0);
    EXPECT_NE(out.find("[Printer Information]"), std::string::npos) << out;
    EXPECT_NE(out.find("Status=5|"), std::string::npos) << out;
    EXPECT_NE(out.find("[Job Information]"), std::string::npos) << out;
    EXPECT_NE(out.find("JobID=9"), std::string::npos) << out;
}

TEST_F(DrvsimStatus, RefusesBadArgumentsWithoutWriting)
{
    const wchar_t* bad[] = {
        L"status 33 x5",          L"status 2147483648",  L"status --job -1", L"status --job",
        L"status 33 --raw \"7|\"", L"status --store \"a|b\"", L"show 2",      L"show",
        L"close now",             L"wait Message",       L"wait Message 0 --timeout-ms soon",
    };
    for (const wchar_t* args : bad) {
        std::string out;
        EXPECT_EQ(Run(args, &out), 2) << std::string(args, args + wcslen(args));
        EXPECT_NE(out.find("drvsim: "), std::string::npos) << out;
    }
    EXPECT_EQ(Key(L"Status"), L"<none>");
    EXPECT_EQ(Key(L"Message"), L"<none>");
}
