// The monitor's timer tick and its reaction to a new error code list, with
// the tick called directly in place of the 250 ms timer.
#include <gtest/gtest.h>

#include "monitor/monitor_window.h"
#include "monitor/spooler.h"
#include "monitor_env.h"
#include "resources/resource.h"

namespace {

bool DialogShown()
{
    return g_hStatusDlg && IsWindowVisible(g_hStatusDlg);
}

std::wstring SlotText(int id)
{
    wchar_t text[200] = L"";
    GetDlgItemTextW(g_hStatusDlg, id, text, 200);
    return text;
}

// Another process holding the status file open for reading only, as a
// reader that shares no write would: the profile writes fail, reads work.
HANDLE RefuseWrites(const std::wstring& file)
{
    return CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

} // namespace

TEST(MonitorTick, TakesAStatusOnlyForANewNonZeroLastMsg)
{
    MonitorEnv env;
    env.Write(L"Status", L"33|5|");
    env.Write(L"Message", L"1027");
    SM_MonitorTick(g_hMonitorWnd);  // no "LastMsg" yet
    EXPECT_EQ(g_hStatusDlg, nullptr);

    env.Write(L"LastMsg", L"41");
    env.Write(L"Message", L"1028");
    SM_MonitorTick(g_hMonitorWnd);
    EXPECT_EQ(g_hStatusDlg, nullptr) << "1028 is no status";

    env.Write(L"Message", L"1027");
    SM_MonitorTick(g_hMonitorWnd);
    ASSERT_TRUE(DialogShown());
    EXPECT_EQ(g_LastMsgCounter, 41);
    EXPECT_EQ(env.StatusWords(), std::vector<DWORD>{0x8});
    EXPECT_EQ(SlotText(1001), L"Paper Jam.");
    EXPECT_EQ(SlotText(1007), L"Front cover open.");
    EXPECT_EQ(g_PrevErrCodes[0], 33);
    EXPECT_EQ(g_PrevErrCodes[1], 5);
    EXPECT_EQ(env.Read(L"Message"), L"1027") << "taking a status leaves the message word";

    // The same "LastMsg" again: nothing is read, even a changed list.
    env.Write(L"Status", L"7|");
    SM_MonitorTick(g_hMonitorWnd);
    EXPECT_EQ(SlotText(1001), L"Paper Jam.");
}

TEST(MonitorTick, IgnoresAnEqualListAndAnEmptyList)
{
    MonitorEnv env;
    env.Post(L"33|5|");
    SM_MonitorTick(g_hMonitorWnd);
    ASSERT_TRUE(DialogShown());
    HWND dialog = g_hStatusDlg;
    SM_ClearSpoolerStatus();
    size_t words = env.StatusWords().size();

    env.Post(L"33|5|");
    SM_MonitorTick(g_hMonitorWnd);
    EXPECT_EQ(env.StatusWords().size(), words) << "an equal list sets no status";

    env.Post(L"");
    SM_MonitorTick(g_hMonitorWnd);
    env.Post(L"33|5");  // the 5 lacks its bar: the list is 33 alone, which is new
    SM_MonitorTick(g_hMonitorWnd);
    EXPECT_EQ(g_hStatusDlg, dialog) << "the dialog is reused";
    EXPECT_TRUE(DialogShown());
    EXPECT_EQ(SlotText(1001), L"Paper Jam.");
    EXPECT_EQ(SlotText(1007), L"");
}

TEST(MonitorTick, CloseMessageResetsOnceAlsoWithoutADialog)
{
    MonitorEnv env;
    env.Post(L"33|5|");
    SM_MonitorTick(g_hMonitorWnd);
    ASSERT_TRUE(DialogShown());

    env.Write(L"Message", L"1026");
    SM_MonitorTick(g_hMonitorWnd);
    EXPECT_EQ(g_hStatusDlg, nullptr);
    EXPECT_EQ(env.Read(L"Message"), L"0");
    EXPECT_EQ(env.StatusWords(), (std::vector<DWORD>{0x8, 0}));
    EXPECT_EQ(g_PrevErrCodes[0], 0);
    EXPECT_TRUE(IsWindow(g_hMonitorWnd));
    EXPECT_FALSE(IsWindowVisible(g_hMonitorWnd));
    SM_MonitorTick(g_hMonitorWnd);
    EXPECT_EQ(env.StatusWords().size(), 2u) << "a 1026 is acted on once";

    // No dialog shown: the reset happens all the same.
    SM_SetSpoolerStatusByCode(5);
    env.Write(L"Message", L"1026");
    SM_MonitorTick(g_hMonitorWnd);
    EXPECT_EQ(env.Read(L"Message"), L"0");
    EXPECT_EQ(env.StatusWords(), (std::vector<DWORD>{0x8, 0, 0x400000, 0}));

    // The last "LastMsg" survives the close: the same stamp brings nothing back.
    env.Write(L"Message", L"1027");
    SM_MonitorTick(g_hMonitorWnd);
    EXPECT_EQ(g_hStatusDlg, nullptr);
}

// A status file that refuses our write of "Message" = 0 keeps the 1026
// there: the close is done once, then only the write is tried again.
TEST(MonitorTick, CloseWhoseResetCannotBeWrittenRetriesOnlyTheWrite)
{
    MonitorEnv env;
    env.Post(L"33|5|");
    SM_MonitorTick(g_hMonitorWnd);
    ASSERT_TRUE(DialogShown());
    env.Write(L"Message", L"1026");
    HANDLE holder = RefuseWrites(env.StatusFile());
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const size_t before = env.Spool().Calls().size();

    for (int tick = 0; tick < 40; ++tick)  // ten seconds of ticks
        SM_MonitorTick(g_hMonitorWnd);
    EXPECT_EQ(g_hStatusDlg, nullptr);
    EXPECT_EQ(env.Read(L"Message"), L"1026");
    EXPECT_EQ(env.StatusWords(), (std::vector<DWORD>{0x8, 0}));
    EXPECT_LE(env.Spool().Calls().size() - before, 3u) << "one close's calls, not one a tick";

    // The file takes writes again: the next tick writes the reset, and no
    // spooler call comes with it.
    CloseHandle(holder);
    const size_t closed = env.Spool().Calls().size();
    SM_MonitorTick(g_hMonitorWnd);
    EXPECT_EQ(env.Read(L"Message"), L"0");
    EXPECT_EQ(env.Spool().Calls().size(), closed);

    // A later 1026 that cannot be written closes in full once more.
    env.Post(L"33|");
    SM_MonitorTick(g_hMonitorWnd);
    ASSERT_TRUE(DialogShown());
    env.Write(L"Message", L"1026");
    holder = RefuseWrites(env.StatusFile());
    SM_MonitorTick(g_hMonitorWnd);
    SM_MonitorTick(g_hMonitorWnd);
    CloseHandle(holder);
    EXPECT_EQ(g_hStatusDlg, nullptr);
    EXPECT_EQ(env.StatusWords(), (std::vector<DWORD>{0x8, 0, 0x8, 0}));
}

TEST(MonitorTick, CloseMessageEndsTheMonitorOnThe9xFamily)
{
    MonitorEnv env;
    OsVersionCode = k9x;
    HWND monitor = g_hMonitorWnd;
    env.Write(L"Message", L"1026");
    SM_MonitorTick(monitor);
    EXPECT_FALSE(IsWindow(monitor));
    EXPECT_EQ(env.Read(L"Message"), L"0");
}

TEST(MonitorTick, ShowSMZeroSetsTheStatusButShowsNoDialog)
{
    MonitorEnv env;
    env.Write(L"ShowSM", L"0");
    env.Post(L"5|");
    SM_MonitorTick(g_hMonitorWnd);
    EXPECT_EQ(g_hStatusDlg, nullptr);
    EXPECT_EQ(env.StatusWords(), std::vector<DWORD>{0x400000});
    EXPECT_EQ(g_PrevErrCodes[0], 0) << "the list is not remembered";

    env.Write(L"ShowSM", L"1");
    env.Post(L"5|");
    SM_MonitorTick(g_hMonitorWnd);
    EXPECT_TRUE(DialogShown()) << "the same list is processed again";
}

TEST(SetSMStatus, ASucceedingJobCommandTakesThePlaceOfTheDialog)
{
    MonitorEnv env;
    int cancelThenJam[kMaxErrCodes] = {117, 33};
    SM_SetSMStatus(g_hMonitorWnd, cancelThenJam, 2);
    EXPECT_EQ(g_hStatusDlg, nullptr);
    EXPECT_EQ(env.JobCommands(), (std::vector<std::pair<DWORD, DWORD>>{{kJob, 5}}));
    EXPECT_EQ(env.StatusWords(), std::vector<DWORD>{0}) << "only the clear of the cancel";
    EXPECT_EQ(g_PrevErrCodes[0], 0);

    // The job is gone now: the same list shows the dialog with both codes.
    SM_SetSMStatus(g_hMonitorWnd, cancelThenJam, 2);
    ASSERT_TRUE(DialogShown());
    EXPECT_EQ(env.StatusWords(), (std::vector<DWORD>{0, 0})) << "the cancel clears; 117 sets no word";
    EXPECT_EQ(g_PrevErrCodes[0], 117);
}

TEST(SetSMStatus, JamThenCancelShowsNoDialogWhenTheCancelSucceeds)
{
    MonitorEnv env;
    int jamThenCancel[kMaxErrCodes] = {33, 117};
    SM_SetSMStatus(g_hMonitorWnd, jamThenCancel, 2);
    EXPECT_EQ(g_hStatusDlg, nullptr);
    EXPECT_FALSE(env.JobQueued(kJob));
}

TEST(SetSMStatus, RestartCommandOnBothFamilies)
{
    for (DWORD os : {kNT, k9x}) {
        MonitorEnv env;
        OsVersionCode = os;
        int restart[kMaxErrCodes] = {118};
        SM_SetSMStatus(g_hMonitorWnd, restart, 1);
        EXPECT_EQ(g_hStatusDlg, nullptr) << os;
        EXPECT_EQ(env.JobCommands(), (std::vector<std::pair<DWORD, DWORD>>{{kJob, 4}})) << os;
        EXPECT_TRUE(env.StatusWords().empty()) << os;
    }
}

// The driver writes "JobID" first when it posts: a status for job 7, then
// the next one's "JobID" 9 while the commands of the first still run.
TEST(SetSMStatus, EveryCommandOfAListActsOnTheJobReadWithTheList)
{
    MonitorEnv env;
    env.Post(L"118|117|");
    SM_MonitorTick(g_hMonitorWnd);
    EXPECT_EQ(g_StatusJobID, kJob);
    EXPECT_EQ(env.JobCommands(), (std::vector<std::pair<DWORD, DWORD>>{{kJob, 4}, {kJob, 5}}));

    env.Spool().AddJob(kPrinter, {kJob, L"Report.pdf"});
    env.Write(L"JobID", L"9", L"Job Information");
    int restartThenCancel[kMaxErrCodes] = {118, 117};
    SM_SetSMStatus(g_hMonitorWnd, restartThenCancel, 2);
    EXPECT_EQ(env.JobCommands(), (std::vector<std::pair<DWORD, DWORD>>{{kJob, 4}, {kJob, 5}, {kJob, 4}, {kJob, 5}}));
    EXPECT_TRUE(env.JobQueued(9)) << "the job the file names now is not touched";
}

TEST(StatusDialog, DeleteActsOnTheJobOfTheListShown)
{
    MonitorEnv env;
    env.Post(L"33|");
    SM_MonitorTick(g_hMonitorWnd);
    ASSERT_TRUE(DialogShown());
    // An empty list leaves the dialog as it is, for job 7.
    env.Write(L"JobID", L"9", L"Job Information");
    env.Post(L"");
    SM_MonitorTick(g_hMonitorWnd);
    ASSERT_TRUE(DialogShown());
    SendMessageW(g_hStatusDlg, WM_COMMAND, MAKEWPARAM(IDC_DELETE, BN_CLICKED), 0);
    EXPECT_EQ(env.JobCommands(), (std::vector<std::pair<DWORD, DWORD>>{{kJob, 5}}));
    EXPECT_TRUE(env.JobQueued(9));
    EXPECT_EQ(g_ShownJobID, 0u) << "the reset forgets the job with the list";

    // A list that changes the dialog brings its own job.
    env.Post(L"33|");
    SM_MonitorTick(g_hMonitorWnd);
    ASSERT_TRUE(DialogShown());
    SendMessageW(g_hStatusDlg, WM_COMMAND, MAKEWPARAM(IDC_DELETE, BN_CLICKED), 0);
    EXPECT_FALSE(env.JobQueued(9));
}

// The driver posts the list shown again for its next job: the dialog stays,
// and Delete acts on the job of that latest status, not on the one before.
TEST(StatusDialog, DeleteActsOnTheJobOfTheSameListPostedAgain)
{
    MonitorEnv env;
    env.Post(L"33|5|");
    SM_MonitorTick(g_hMonitorWnd);
    ASSERT_TRUE(DialogShown());
    env.Write(L"JobID", L"9", L"Job Information");
    env.Post(L"33|5|");
    SM_MonitorTick(g_hMonitorWnd);
    ASSERT_TRUE(DialogShown());
    EXPECT_EQ(g_ShownJobID, 9u);
    SendMessageW(g_hStatusDlg, WM_COMMAND, MAKEWPARAM(IDC_DELETE, BN_CLICKED), 0);
    EXPECT_EQ(env.JobCommands(), (std::vector<std::pair<DWORD, DWORD>>{{9, 5}}));
    EXPECT_TRUE(env.JobQueued(kJob));
}

TEST(MonitorWindow, ExitMessageDestroysTheWindowAndClearsTheStatus)
{
    MonitorEnv env;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"mfpsm_unit_monitor";
    RegisterClassW(&wc);
    env.WriteUI(L"codepage", L"932");
    HWND monitor = CreateWindowExW(0, wc.lpszClassName, L"MFP Status Monitor", WS_POPUP, 0, 0, 0, 0, nullptr,
                                   nullptr, wc.hInstance, nullptr);
    ASSERT_NE(monitor, nullptr);
    EXPECT_EQ(g_UICodePage, 932);
    SM_SetSpoolerStatusByCode(33);

    EXPECT_EQ(SendMessageW(monitor, WM_SM_PSTATUS, 0, 0), 0);
    EXPECT_EQ(SendMessageW(monitor, WM_LM_ALIVE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(monitor));
    SendMessageW(monitor, WM_SM_EXIT, 0, 0);
    EXPECT_FALSE(IsWindow(monitor));
    EXPECT_EQ(env.StatusWords(), (std::vector<DWORD>{0x8, 0}));
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the loop is told to end";
    UnregisterClassW(wc.lpszClassName, wc.hInstance);
}
