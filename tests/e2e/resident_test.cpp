// The resident monitor as a separate process: single instance, the hidden
// window, the start at logon, and the three ways it ends.
#include <gtest/gtest.h>

#include "testkit/wine_test.h"

namespace {

constexpr DWORD kTimeoutMs = 20000;
constexpr const wchar_t* kRunKey = L"software\\microsoft\\windows\\currentversion\\run";

std::wstring MfpsmCommand(const wchar_t* args)
{
    return L"\"" + BesideTest(L"mfpsm.exe") + L"\" " + args;
}

class Resident : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(WaitForNoWindow(L"mfpsm", kTimeoutMs)) << "a monitor was left running"; }
    void TearDown() override
    {
        if (HWND window = FindWindowW(L"mfpsm", nullptr))
            PostMessageW(window, 1026, 0, 0);
        WaitForNoWindow(L"mfpsm", kTimeoutMs);
    }
};

} // namespace

TEST_F(Resident, InstallBecomesTheHiddenMonitor)
{
    ChildProcess monitor(MfpsmCommand(L"install"));
    ASSERT_TRUE(monitor.Started());
    HWND window = WaitForWindow(L"mfpsm", nullptr, kTimeoutMs);
    ASSERT_NE(window, nullptr);
    wchar_t title[64] = L"";
    GetWindowTextW(window, title, 64);
    EXPECT_STREQ(title, L"MFP Status Monitor");
    EXPECT_FALSE(IsWindowVisible(window));
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(owner, monitor.Id());

    std::wstring autostart;
    ASSERT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, L"mfpsm", &autostart));
    EXPECT_EQ(autostart, BesideTest(L"mfpsm.exe") + L" logon");

    EXPECT_EQ(RunBeside(L"mfpsm.exe", L"install", kTimeoutMs), 0) << "a second install ends with 0";
    EXPECT_TRUE(monitor.Running());
    EXPECT_EQ(FindWindowW(L"mfpsm", nullptr), window);

    PostMessageW(window, 1026, 0, 0);  // WM_SM_EXIT
    EXPECT_EQ(monitor.Wait(kTimeoutMs), 0);
    EXPECT_EQ(FindWindowW(L"mfpsm", nullptr), nullptr);
}

TEST_F(Resident, UninstallEndsTheRunningMonitor)
{
    ChildProcess monitor(MfpsmCommand(L"install"));
    ASSERT_NE(WaitForWindow(L"mfpsm", nullptr, kTimeoutMs), nullptr);

    EXPECT_EQ(RunBeside(L"mfpsm.exe", L"uninstall", kTimeoutMs), 1);
    EXPECT_EQ(monitor.Wait(kTimeoutMs), 0);
    std::wstring autostart;
    EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, L"mfpsm", &autostart));
}

TEST_F(Resident, TwoCloseStartsMakeOneMonitor)
{
    ChildProcess first(MfpsmCommand(L"install"));
    ChildProcess second(MfpsmCommand(L"install"));
    ASSERT_TRUE(first.Started() && second.Started());
    ASSERT_NE(WaitForWindow(L"mfpsm", nullptr, kTimeoutMs), nullptr);
    // One of them ends, having found the other's window; the other answers
    // its ticks after that.
    for (DWORD start = GetTickCount(); first.Running() && second.Running() && GetTickCount() - start < kTimeoutMs;)
        PumpMessages(20);
    ASSERT_TRUE(TickMonitorTwice());

    bool firstRuns = first.Running(), secondRuns = second.Running();
    EXPECT_NE(firstRuns, secondRuns) << "exactly one stays resident";
    ChildProcess& gone = firstRuns ? second : first;
    EXPECT_EQ(gone.Wait(kTimeoutMs), 0);

    PostMessageW(FindWindowW(L"mfpsm", nullptr), 1026, 0, 0);
    EXPECT_EQ((firstRuns ? first : second).Wait(kTimeoutMs), 0);
}

// The logon start is the recorded value's command line, started as the
// shell starts a Run value: here from a folder whose name holds a space. It
// leaves one monitor, which records nothing, and a second one ends with 0.
TEST_F(Resident, RecordedLogonStartBecomesTheMonitor)
{
    ScratchDir scratch;
    const std::wstring folder = scratch.File(L"Program Files");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring exe = folder + L"\\mfpsm.exe";
    for (const wchar_t* file : {L"mfpsm.exe", L"winspool.drv"})
        ASSERT_TRUE(CopyFileW(BesideTest(file).c_str(), (folder + L"\\" + file).c_str(), FALSE));
    {
        ChildProcess installer(L"\"" + exe + L"\" install");
        ASSERT_NE(WaitForWindow(L"mfpsm", nullptr, kTimeoutMs), nullptr);
        PostMessageW(FindWindowW(L"mfpsm", nullptr), 1026, 0, 0);
        ASSERT_EQ(installer.Wait(kTimeoutMs), 0);
    }
    std::wstring command;
    ASSERT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, L"mfpsm", &command));
    EXPECT_EQ(command, L"\"" + exe + L"\" logon");
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, L"mfpsm");

    ChildProcess logon(command);
    ASSERT_TRUE(logon.Started());
    HWND window = WaitForWindow(L"mfpsm", nullptr, kTimeoutMs);
    ASSERT_NE(window, nullptr) << "the logon start leaves no monitor";
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(owner, logon.Id());
    ChildProcess second(command);
    EXPECT_EQ(second.Wait(kTimeoutMs), 0) << "a second logon start ends with 0";
    EXPECT_TRUE(logon.Running());
    std::wstring written;
    EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, L"mfpsm", &written)) << "the logon start writes no value";
    EXPECT_FALSE(ReadRegString(HKEY_CURRENT_USER, kRunKey, L"mfpsm", &written));

    PostMessageW(window, 1026, 0, 0);
    EXPECT_EQ(logon.Wait(kTimeoutMs), 0);
}
