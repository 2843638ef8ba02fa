// The shipped program started as the driver side starts it: command words,
// exit codes, the status exchange file and the registry values it leaves.
#include <gtest/gtest.h>

#include "testkit/wine_test.h"

namespace {

constexpr DWORD kTimeoutMs = 20000;
constexpr const wchar_t* kProgramKey = L"software\\Orvanite\\Printer\\mfpsm";
constexpr const wchar_t* kRunKey = L"software\\microsoft\\windows\\currentversion\\run";

int Mfpsm(const std::wstring& args)
{
    return RunBeside(L"mfpsm.exe", args, kTimeoutMs);
}

std::string RegQuery(const wchar_t* value)
{
    int code = 0;
    return RunCapture(std::wstring(L"reg.exe query HKLM\\") + kProgramKey + L" /v " + value, kTimeoutMs, &code);
}

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override { DeleteRegTree(HKEY_LOCAL_MACHINE, kProgramKey); }
    void TearDown() override { DeleteRegTree(HKEY_LOCAL_MACHINE, kProgramKey); }
};

} // namespace

TEST_F(CommandLine, NoArgumentPreparesTheStatusFileAndEnds)
{
    std::wstring status = CommonDocumentsDir() + L"StatusMonitorV3.ini";
    ASSERT_GT(status.size(), 20u);
    DeleteFileW(status.c_str());

    EXPECT_EQ(Mfpsm(L""), 1);
    EXPECT_EQ(ReadAllBytes(status), (std::vector<unsigned char>{0xFF, 0xFE}));
}

TEST_F(CommandLine, WordsAreCaseSensitive)
{
    for (const wchar_t* args : {L"INSTALL", L"Preheat printer", L"\"install \"", L"Install", L"nonsense"})
        EXPECT_EQ(Mfpsm(args), 1) << args;
    EXPECT_EQ(FindWindowW(L"mfpsm", nullptr), nullptr) << "no monitor was started";
}

TEST_F(CommandLine, SetAtmAndCharsetWriteDwords)
{
    EXPECT_EQ(Mfpsm(L"SetATM -1"), 1);
    DWORD value = 0;
    ASSERT_TRUE(ReadRegDword(HKEY_LOCAL_MACHINE, kProgramKey, L"AtmMode", &value));
    EXPECT_EQ(value, 0xFFFFFFFFu);
    EXPECT_NE(RegQuery(L"AtmMode").find("0xffffffff"), std::string::npos) << RegQuery(L"AtmMode");

    EXPECT_EQ(Mfpsm(L"SetATM abc"), 1);
    ASSERT_TRUE(ReadRegDword(HKEY_LOCAL_MACHINE, kProgramKey, L"AtmMode", &value));
    EXPECT_EQ(value, 0u);

    EXPECT_EQ(Mfpsm(L"SetATM"), 1);
    ASSERT_TRUE(ReadRegDword(HKEY_LOCAL_MACHINE, kProgramKey, L"AtmMode", &value));
    EXPECT_EQ(value, 0u) << "a missing number writes 0";

    EXPECT_EQ(Mfpsm(L"charset 1028"), 1);
    EXPECT_EQ(Mfpsm(L"charset 2052"), 1);
    ASSERT_TRUE(ReadRegDword(HKEY_LOCAL_MACHINE, kProgramKey, L"Language", &value));
    EXPECT_EQ(value, 2052u);
    EXPECT_NE(RegQuery(L"Language").find("REG_DWORD"), std::string::npos);
}

TEST_F(CommandLine, UninstallWithoutMonitorRemovesTheAutostartValue)
{
    HKEY run;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &run), ERROR_SUCCESS);
    const wchar_t data[] = L"C:\\old\\mfpsm.exe";
    RegSetValueExW(run, L"mfpsm", 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof(data));
    RegCloseKey(run);

    EXPECT_EQ(Mfpsm(L"uninstall"), 1);
    std::wstring stored;
    EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, L"mfpsm", &stored));
    EXPECT_EQ(Mfpsm(L"uninstall"), 1) << "a second uninstall fails quietly";
}

TEST_F(CommandLine, OneShotWordsWithoutTheirTaskEndWithOne)
{
    EXPECT_EQ(Mfpsm(L"security 3 printer 1033"), 1);
    EXPECT_EQ(Mfpsm(L"PREHEAT"), 1);
}

TEST_F(CommandLine, HugeCommandLinesAreSafe)
{
    std::wstring many;
    for (int i = 0; i < 1000; ++i)
        many += L" arg" + std::to_wstring(i);
    EXPECT_EQ(Mfpsm(L"SetATM 5" + many), 1);
    DWORD value = 0;
    ASSERT_TRUE(ReadRegDword(HKEY_LOCAL_MACHINE, kProgramKey, L"AtmMode", &value));
    EXPECT_EQ(value, 5u);

    EXPECT_EQ(Mfpsm(L"charset " + std::wstring(10000, L'7')), 1);
    ASSERT_TRUE(ReadRegDword(HKEY_LOCAL_MACHINE, kProgramKey, L"Language", &value));
    EXPECT_EQ(value, 0x7FFFFFFFu) << "259 digits, clamped like the runtime's conversion";
}
