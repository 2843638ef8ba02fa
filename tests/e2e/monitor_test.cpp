// The shipped resident monitor driven as the driver side and the user would:
// drvsim writes the status exchange file, the spooler stand-in keeps the
// printer and its queue (Wine's own spooler, in the RealSpooler tests), and
// the dialog is found and pressed from outside.
#include <gtest/gtest.h>

#include <memory>

#include "common/printers.h"
#include "testkit/print_server.h"
#include "testkit/spool.h"
#include "testkit/wine_test.h"

namespace {

constexpr DWORD kTimeoutMs = 20000;
constexpr DWORD kShowWaitMs = 5000;   // a status is taken within a 250 ms tick; generous under load
constexpr const wchar_t* kPrinter = L"Office MFP";
constexpr const wchar_t* kTitle = L"MFP Status Monitor";
constexpr int kDelete = 1117, kContinue = 1119;

std::wstring Quoted(const wchar_t* program)
{
    return L"\"" + BesideTest(program) + L"\"";
}

class Monitor : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WaitForNoWindow(L"mfpsm", kTimeoutMs)) << "a monitor was left running";
        statusFile_ = CommonDocumentsDir() + L"StatusMonitorV3.ini";
        WritePrivateProfileStringW(L"Printer Information", nullptr, nullptr, statusFile_.c_str());
        WritePrivateProfileStringW(L"Job Information", nullptr, nullptr, statusFile_.c_str());
        SpoolPrinterSeed printer;
        printer.name = kPrinter;
        printer.jobs = {{7, L"Report.pdf"}, {8, L"Other.pdf"}};
        spool_.AddPrinter(printer);
        monitor_.reset(new ChildProcess(Quoted(L"mfpsm.exe") + L" install"));
        ASSERT_NE(WaitForWindow(L"mfpsm", nullptr, kTimeoutMs), nullptr);
    }
    void TearDown() override
    {
        if (HWND window = FindWindowW(L"mfpsm", nullptr))
            PostMessageW(window, 1026, 0, 0);  // WM_SM_EXIT
        WaitForNoWindow(L"mfpsm", kTimeoutMs);
        monitor_.reset();
    }

    int Drvsim(const std::wstring& args)
    {
        int code = -1;
        RunCapture(Quoted(L"drvsim.exe") + L" " + args, kTimeoutMs, &code);
        return code;
    }
    void PostStatus(const std::wstring& codes, DWORD job = 7, const std::wstring& printer = kPrinter)
    {
        ASSERT_EQ(Drvsim(L"status " + codes + L" --printer \"" + printer + L"\" --job " + std::to_wstring(job)), 0);
    }
    // The access of every open of the printer, in order.
    std::vector<DWORD> AccessAsked(const std::wstring& printer)
    {
        std::vector<DWORD> asked;
        for (const SpoolCall& open : spool_.Calls(L"OpenPrinter")) {
            if (open.printer == printer)
                asked.push_back(open.access);
        }
        return asked;
    }
    std::wstring Key(const wchar_t* key)
    {
        wchar_t value[300] = L"";
        GetPrivateProfileStringW(L"Printer Information", key, L"", value, 300, statusFile_.c_str());
        return value;
    }
    bool WaitKey(const wchar_t* key, const wchar_t* value)
    {
        return Drvsim(std::wstring(L"wait ") + key + L" " + value + L" --timeout-ms " + std::to_wstring(kShowWaitMs)) == 0;
    }

    // The visible status dialog, or null when none shows within the wait. The
    // monitor window is shown last, once the dialog is filled and focused.
    HWND WaitForDialog(DWORD ms = kShowWaitMs)
    {
        DWORD start = GetTickCount();
        do {
            HWND dialog = FindWindowW(L"#32770", kTitle);
            if (dialog && IsWindowVisible(dialog) && IsWindowVisible(FindWindowW(L"mfpsm", nullptr)))
                return dialog;
            PumpMessages(20);
        } while (GetTickCount() - start < ms);
        return nullptr;
    }
    // The control with the focus in the dialog's thread, once it is control
    // or the wait is over: activation of the dialog may still be on its way.
    HWND WaitForFocus(HWND dialog, HWND control)
    {
        GUITHREADINFO gui = {};
        gui.cbSize = sizeof(gui);
        DWORD start = GetTickCount();
        do {
            if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui))
                return nullptr;
            if (gui.hwndFocus == control)
                break;
            PumpMessages(20);
        } while (GetTickCount() - start < kShowWaitMs);
        return gui.hwndFocus;
    }
    bool WaitForNoDialog()
    {
        DWORD start = GetTickCount();
        while (FindWindowW(L"#32770", kTitle)) {
            if (GetTickCount() - start >= kShowWaitMs)
                return false;
            PumpMessages(20);
        }
        return true;
    }
    bool WaitForPrinterStatus(DWORD word, DWORD ms = kShowWaitMs)
    {
        DWORD start = GetTickCount();
        while (spool_.Status(kPrinter) != word) {
            if (GetTickCount() - start >= ms)
                return false;
            PumpMessages(20);
        }
        return true;
    }
    static std::wstring Slot(HWND dialog, int id)
    {
        wchar_t text[200] = L"";
        GetDlgItemTextW(dialog, id, text, 200);
        return text;
    }
    static void Press(HWND dialog, int id)
    {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    size_t Count(const wchar_t* function)
    {
        return spool_.Calls(function).size();
    }

    SpoolSandbox spool_;
    std::wstring statusFile_;
    std::unique_ptr<ChildProcess> monitor_;
};

} // namespace

TEST_F(Monitor, RoadOfOneStatusThenDelete)
{
    PostStatus(L"33 5");
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(Slot(dialog, 1001), L"Paper Jam.");
    EXPECT_EQ(Slot(dialog, 1007), L"Front cover open.");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, kContinue)));
    EXPECT_TRUE(WaitForPrinterStatus(0x8));
    EXPECT_EQ(Key(L"Message"), L"1027");

    Press(dialog, kDelete);
    EXPECT_TRUE(WaitKey(L"Message", L"0"));
    EXPECT_TRUE(WaitForNoDialog());
    std::vector<SpoolJobSeed> jobs = spool_.Jobs(kPrinter);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].id, 8u) << "job 7 was deleted";
    EXPECT_EQ(spool_.Status(kPrinter), 0u);
    EXPECT_TRUE(monitor_->Running());
    // Status words ask to administer the printer, the job command to print.
    for (DWORD access : AccessAsked(kPrinter))
        EXPECT_TRUE(access == PRINTER_ACCESS_ADMINISTER || access == PRINTER_ACCESS_USE) << access;
}

// A standard user without a grant to manage the printer may not set the
// status word, and may control only the
// jobs they own: the dialog shows all the same, Delete takes the user's own
// job, and another user's job stays queued without a word to the user.
TEST_F(Monitor, AsAStandardUser)
{
    const std::wstring printer = L"User MFP";
    SpoolPrinterSeed seed;
    seed.name = printer;
    seed.rights = SpoolRights::kUser;
    seed.jobs = {{7, L"Mine.pdf"}, {8, L"Theirs.pdf", true}};
    spool_.AddPrinter(seed);

    PostStatus(L"117 33", 8, printer);
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr) << "the refused job command leaves the list to the dialog";
    EXPECT_EQ(Slot(dialog, 1001), L"Paper Jam.");
    Press(dialog, kDelete);
    EXPECT_TRUE(WaitKey(L"Message", L"0"));
    EXPECT_TRUE(WaitForNoDialog());
    EXPECT_EQ(spool_.Jobs(printer).size(), 2u) << "another user's job is not deleted";

    PostStatus(L"33", 7, printer);
    dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    Press(dialog, kDelete);
    EXPECT_TRUE(WaitKey(L"Message", L"0"));
    EXPECT_TRUE(WaitForNoDialog());
    std::vector<SpoolJobSeed> jobs = spool_.Jobs(printer);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].id, 8u) << "the user's own job was deleted";

    std::vector<SpoolCall> commands = spool_.Calls(L"SetJob");
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0].error, static_cast<DWORD>(ERROR_ACCESS_DENIED)) << "117 on job 8";
    EXPECT_EQ(commands[1].error, static_cast<DWORD>(ERROR_ACCESS_DENIED)) << "Delete on job 8";
    EXPECT_TRUE(commands[2].ok) << "Delete on job 7";
    EXPECT_TRUE(spool_.Calls(L"SetPrinter").empty()) << "no status word reaches the spooler";
    EXPECT_TRUE(monitor_->Running());
    for (DWORD access : AccessAsked(printer))
        EXPECT_TRUE(access == PRINTER_ACCESS_ADMINISTER || access == PRINTER_ACCESS_MANAGE_LIMITED ||
                    access == PRINTER_ACCESS_USE)
            << access;
}

TEST_F(Monitor, ContinueEqualListAndEmptyList)
{
    PostStatus(L"35 33");
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    HWND continueButton = GetDlgItem(dialog, kContinue);
    EXPECT_TRUE(IsWindowVisible(continueButton));
    EXPECT_EQ(WaitForFocus(dialog, continueButton), continueButton);
    EXPECT_TRUE(WaitForPrinterStatus(0x40));

    // An empty list leaves the dialog as it is.
    PostStatus(L"");
    ASSERT_TRUE(TickMonitorTwice());
    EXPECT_EQ(WaitForDialog(0), dialog);
    EXPECT_EQ(Slot(dialog, 1001), L"Paper Jam.");

    Press(dialog, kContinue);
    EXPECT_TRUE(WaitKey(L"ContinuePrint", L"1"));
    EXPECT_TRUE(WaitForNoDialog());
    EXPECT_EQ(Key(L"Message"), L"1027") << "Continue closes without reset";
    EXPECT_EQ(spool_.Status(kPrinter), 0x40u);
    EXPECT_EQ(spool_.Jobs(kPrinter).size(), 2u);

    // The list last shown, with a new "LastMsg": nothing happens.
    size_t calls = Count(L"SetPrinter");
    PostStatus(L"35 33");
    ASSERT_TRUE(TickMonitorTwice());
    EXPECT_EQ(FindWindowW(L"#32770", kTitle), nullptr);
    EXPECT_EQ(Count(L"SetPrinter"), calls);

    // A different list comes through.
    PostStatus(L"35");
    EXPECT_NE(WaitForDialog(), nullptr);
}

TEST_F(Monitor, CloseMessageIsActedOnOnceWithOrWithoutADialog)
{
    PostStatus(L"33 5");
    ASSERT_NE(WaitForDialog(), nullptr);
    ASSERT_TRUE(WaitForPrinterStatus(0x8));
    size_t before = Count(L"SetPrinter");

    ASSERT_EQ(Drvsim(L"close"), 0);
    EXPECT_TRUE(WaitKey(L"Message", L"0"));
    EXPECT_TRUE(WaitForNoDialog());
    ASSERT_TRUE(TickMonitorTwice());
    std::vector<SpoolCall> sets = spool_.Calls(L"SetPrinter");
    ASSERT_EQ(sets.size(), before + 1) << "one clear, once";
    EXPECT_EQ(sets.back().status, 0u);
    EXPECT_EQ(spool_.Jobs(kPrinter).size(), 2u) << "a close leaves the job alone";

    // Without a dialog the reset is done all the same.
    ASSERT_EQ(Drvsim(L"close"), 0);
    EXPECT_TRUE(WaitKey(L"Message", L"0"));
    ASSERT_TRUE(TickMonitorTwice());
    EXPECT_EQ(Count(L"SetPrinter"), before + 2);
    EXPECT_TRUE(monitor_->Running());

    // After the reset the same list shows again.
    PostStatus(L"33 5");
    EXPECT_NE(WaitForDialog(), nullptr);
}

TEST_F(Monitor, JobCommandsOfTheList)
{
    PostStatus(L"117 33");
    DWORD start = GetTickCount();
    while (spool_.Jobs(kPrinter).size() == 2 && GetTickCount() - start < kShowWaitMs)
        PumpMessages(20);
    std::vector<SpoolJobSeed> jobs = spool_.Jobs(kPrinter);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].id, 8u);
    ASSERT_TRUE(TickMonitorTwice());
    EXPECT_EQ(FindWindowW(L"#32770", kTitle), nullptr) << "a done job command shows no dialog";
    EXPECT_NE(spool_.Status(kPrinter), 0x8u);

    // The job is gone: the same list shows the dialog.
    PostStatus(L"117 33");
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Slot(dialog, 1001), L"Paper Jam.");
    EXPECT_EQ(Slot(dialog, 1007), L"") << "117 has a framed slot and no text";
    EXPECT_TRUE(WaitForPrinterStatus(0)) << "the cancel cleared the status and 117 sets none";

    PostStatus(L"118", 8);
    start = GetTickCount();
    while (spool_.Calls(L"SetJob").size() < 2 && GetTickCount() - start < kShowWaitMs)
        PumpMessages(20);
    std::vector<SpoolCall> commands = spool_.Calls(L"SetJob");
    ASSERT_EQ(commands.size(), 2u) << "no job command for a job that is not queued";
    EXPECT_TRUE(commands[0].ok);
    EXPECT_EQ(commands[0].job, 7u);
    EXPECT_EQ(commands[0].command, 5u);
    EXPECT_TRUE(commands[1].ok);
    EXPECT_EQ(commands[1].job, 8u);
    EXPECT_EQ(commands[1].command, 4u);
    EXPECT_EQ(spool_.Jobs(kPrinter).size(), 1u) << "a restarted job stays queued";
}

TEST_F(Monitor, ShowSMZeroThenExitClearsTheStatus)
{
    ASSERT_EQ(Drvsim(L"show 0"), 0);
    PostStatus(L"5");
    EXPECT_TRUE(WaitForPrinterStatus(0x400000));
    ASSERT_TRUE(TickMonitorTwice());
    EXPECT_EQ(FindWindowW(L"#32770", kTitle), nullptr);

    PostMessageW(FindWindowW(L"mfpsm", nullptr), 1026, 0, 0);  // WM_SM_EXIT
    EXPECT_EQ(monitor_->Wait(kTimeoutMs), 0);
    EXPECT_EQ(spool_.Status(kPrinter), 0u);
}

// At logoff Windows asks, then ends the process without a WM_DESTROY: the
// status word this monitor set is cleared and its dialog closed on
// WM_ENDSESSION, and nothing else is written.
TEST_F(Monitor, SessionEndClearsTheStatusWord)
{
    PostStatus(L"33 5");
    ASSERT_NE(WaitForDialog(), nullptr);
    ASSERT_TRUE(WaitForPrinterStatus(0x8));
    HWND window = FindWindowW(L"mfpsm", nullptr);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, kShowWaitMs,
                                    &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    EXPECT_EQ(spool_.Status(kPrinter), 0x8u) << "asking ends nothing yet";
    const DWORD start = GetTickCount();
    ASSERT_TRUE(SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, kShowWaitMs,
                                    &answer));
    EXPECT_LT(GetTickCount() - start, 1000u) << "the session's end waits for nobody";
    std::vector<SpoolCall> sets = spool_.Calls(L"SetPrinter");
    ASSERT_FALSE(sets.empty());
    EXPECT_EQ(sets.back().status, 0u);
    EXPECT_EQ(spool_.Status(kPrinter), 0u);
    EXPECT_TRUE(WaitForNoDialog());
    EXPECT_EQ(Key(L"Message"), L"1027") << "the driver's word stays";
    EXPECT_EQ(spool_.Jobs(kPrinter).size(), 2u);
}

// A spooler restarted while a status is shown: the status word, and later a
// clear, are tried again about once a second and reach the spooler within
// about 2 s of its return. The job command is a one-shot and is not.
TEST_F(Monitor, StatusWordOutlivesASpoolerRestart)
{
    auto refusedCalls = [this] {
        size_t refused = 0;
        for (const SpoolCall& call : spool_.Calls())
            refused += call.error == RPC_S_SERVER_UNAVAILABLE;
        return refused;
    };
    constexpr DWORD kAwayMs = 3000;
    spool_.StopSpoolerFor(kAwayMs);
    DWORD back = GetTickCount() + kAwayMs;
    PostStatus(L"33 5");
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr) << "the dialog needs no spooler";
    ASSERT_TRUE(WaitForPrinterStatus(0x8, kAwayMs + kShowWaitMs)) << "never set after the spooler's return";
    EXPECT_LE(static_cast<int>(GetTickCount() - back), 2000);
    size_t refused = refusedCalls();
    EXPECT_GE(refused, 2u) << "tried again while the spooler was away";
    EXPECT_LE(refused, kAwayMs / 1000 + 2) << "about one call a second";

    spool_.StopSpoolerFor(kAwayMs);
    back = GetTickCount() + kAwayMs;
    Press(dialog, kDelete);
    EXPECT_TRUE(WaitKey(L"Message", L"0"));
    EXPECT_TRUE(WaitForNoDialog());
    ASSERT_TRUE(WaitForPrinterStatus(0, kAwayMs + kShowWaitMs)) << "the clear never reached the spooler";
    EXPECT_LE(static_cast<int>(GetTickCount() - back), 2000);
    EXPECT_LE(refusedCalls() - refused, kAwayMs / 1000 + 3) << "about one call a second, and the job command's";
    EXPECT_EQ(spool_.Jobs(kPrinter).size(), 2u) << "the job command is not tried again";
    EXPECT_TRUE(monitor_->Running());
}

namespace {

class RealSpoolerMonitor : public Monitor {};

} // namespace

// Wine's own spooler takes no status word (SetPrinter has no level 0 there)
// and keeps no job list, so it refuses every job command: the dialog shows
// for a status on the print server's queue all the same, Delete resets, and
// the monitor runs on.
TEST_F(RealSpoolerMonitor, DialogAndDeleteWhateverTheSpoolerRefuses)
{
    PostStatus(L"33 5", 7, kUsbQueue);
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Slot(dialog, 1001), L"Paper Jam.");
    EXPECT_EQ(Slot(dialog, 1007), L"Front cover open.");
    Press(dialog, kDelete);
    EXPECT_TRUE(WaitKey(L"Message", L"0"));
    EXPECT_TRUE(WaitForNoDialog());

    // The job command of 117 is refused: the list goes to the dialog.
    PostStatus(L"117 33", 7, kUsbQueue);
    dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Slot(dialog, 1001), L"Paper Jam.");
    ASSERT_EQ(Drvsim(L"close"), 0);
    EXPECT_TRUE(WaitKey(L"Message", L"0"));
    EXPECT_TRUE(WaitForNoDialog());

    // A printer the spooler does not list: the dialog all the same.
    PostStatus(L"5", 7, L"\\\\print-host\\MFP_USB");
    dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Slot(dialog, 1001), L"Front cover open.");
    Press(dialog, kDelete);
    EXPECT_TRUE(WaitKey(L"Message", L"0"));
    EXPECT_TRUE(WaitForNoDialog());

    ASSERT_TRUE(monitor_->Running());
    PostMessageW(FindWindowW(L"mfpsm", nullptr), 1026, 0, 0);  // WM_SM_EXIT
    EXPECT_EQ(monitor_->Wait(kTimeoutMs), 0);
}
