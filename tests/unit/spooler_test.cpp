// Spooler status words and job commands against the spooler stand-in, and
// (the RealSpooler tests) against Wine's own spooler.
#include <gtest/gtest.h>

#include "common/printers.h"
#include "monitor/monitor_window.h"
#include "monitor/spooler.h"
#include "monitor_env.h"
#include "prompts/prompt_dialog.h"
#include "testkit/import_patch.h"
#include "testkit/print_server.h"
#include "testkit/trace_capture.h"

namespace {

SpoolPrinterSeed PrinterWith(const wchar_t* name, SpoolRights rights)
{
    SpoolPrinterSeed printer;
    printer.name = name;
    printer.rights = rights;
    printer.jobs = {{kJob, L"Mine.pdf"}, {8, L"Theirs.pdf", true}};
    return printer;
}

std::vector<DWORD> AccessAsked(const SpoolSandbox& spool)
{
    std::vector<DWORD> asked;
    for (const SpoolCall& call : spool.Calls(L"OpenPrinter"))
        asked.push_back(call.access);
    return asked;
}

} // namespace

TEST(SpoolerStatus, SetsTheWordOfEveryMappedCode)
{
    const struct {
        int code;
        DWORD word;
    } rows[] = {
        {1, 0x100000}, {2, 0x2},   {3, 0x2},     {4, 0x2},      {6, 0x2},     {48, 0x2},    {256, 0x2},
        {257, 0x2},    {258, 0x2}, {259, 0x2},   {271, 0x2},    {275, 0x2},   {276, 0x2},   {277, 0x2},
        {5, 0x400000}, {265, 0x400000}, {266, 0x400000}, {267, 0x400000}, {268, 0x400000}, {7, 0x40000},
        {32, 0x10},    {269, 0x10}, {270, 0x10}, {33, 0x8},     {260, 0x8},   {261, 0x8},   {262, 0x8},
        {263, 0x8},    {264, 0x8},  {34, 0x40},  {35, 0x40},    {282, 0x40},  {112, 0x200}, {126, 0x80},
        {129, 0},      {131, 0},    {130, 0x10000}, {132, 0x400}, {135, 0x20000},
    };
    for (const auto& row : rows) {
        MonitorEnv env;
        g_LastSpoolerStatus = 0x7777;  // differs from every word
        SM_SetSpoolerStatusByCode(row.code);
        ASSERT_EQ(env.StatusWords(), std::vector<DWORD>{row.word}) << "code " << row.code;
        EXPECT_EQ(env.Spool().Calls(L"SetPrinter")[0].command, 4u) << "code " << row.code;
        EXPECT_EQ(env.Spool().Status(kPrinter), row.word) << "code " << row.code;
        EXPECT_EQ(g_LastSpoolerStatus, static_cast<int>(row.word)) << "code " << row.code;
    }
}

TEST(SpoolerStatus, SetsAWordOnceUntilCleared)
{
    MonitorEnv env;
    for (int code : {33, 260, 80, 117, 65535})  // 80, 117 and 65535 have no word
        SM_SetSpoolerStatusByCode(code);
    EXPECT_EQ(env.StatusWords(), std::vector<DWORD>{0x8});

    SM_ClearSpoolerStatus();
    EXPECT_EQ(g_LastSpoolerStatus, -1);
    SM_SetSpoolerStatusByCode(33);
    SM_SetSpoolerStatusByCode(129);
    SM_SetSpoolerStatusByCode(129);
    EXPECT_EQ(env.StatusWords(), (std::vector<DWORD>{0x8, 0, 0x8, 0}));
    EXPECT_EQ(env.Spool().Status(kPrinter), 0u);
}

TEST(SpoolerStatus, TriesAgainAfterThePrinterCouldNotBeOpened)
{
    MonitorEnv env;
    env.Write(L"PrinterName", L"Not Yet Named");
    EXPECT_EQ(SM_SetSpoolerStatus(0x8, 4), 1);
    EXPECT_EQ(g_SpoolerBusy, 0);
    EXPECT_EQ(g_LastSpoolerStatus, -1);
    EXPECT_TRUE(env.StatusWords().empty());

    env.Write(L"PrinterName", kPrinter);
    SM_SetSpoolerStatus(0x8, 4);
    EXPECT_EQ(env.StatusWords(), std::vector<DWORD>{0x8});
}

TEST(SpoolerStatus, RemembersOnlyWordsTheSpoolerTook)
{
    MonitorEnv env;
    SM_SetSpoolerStatus(0x8, 3);  // a command the stand-in refuses
    EXPECT_EQ(g_LastSpoolerStatus, -1);
    SM_SetSpoolerStatus(0x8, 4);
    EXPECT_EQ(g_LastSpoolerStatus, 0x8);
    EXPECT_EQ(env.Spool().Status(kPrinter), 0x8u);
}

TEST(SpoolerStatus, OpensByAnsiNameOnThe9xFamily)
{
    MonitorEnv env;
    OsVersionCode = k9x;
    SM_SetSpoolerStatusByCode(5);
    EXPECT_EQ(env.StatusWords(), std::vector<DWORD>{0x400000});

    // A name with no exact ANSI form opens nothing, and nothing stays busy.
    env.Write(L"PrinterName", L"\u4E2D\u6587");
    SM_SetSpoolerStatusByCode(33);
    EXPECT_EQ(g_SpoolerBusy, 0);
    EXPECT_EQ(env.StatusWords(), std::vector<DWORD>{0x400000});
}

TEST(PrinterJob, CancelDeletesTheJobOnNTAndClearsTheStatusFirst)
{
    MonitorEnv env;
    SM_SetSpoolerStatusByCode(33);
    EXPECT_EQ(SM_SetPrinterJob(kJobCancel, kJob), 1);
    EXPECT_EQ(env.JobCommands(), (std::vector<std::pair<DWORD, DWORD>>{{kJob, 5}}));
    EXPECT_FALSE(env.JobQueued(kJob));
    EXPECT_TRUE(env.JobQueued(9));
    EXPECT_EQ(env.StatusWords(), (std::vector<DWORD>{0x8, 0}));
    EXPECT_EQ(g_LastSpoolerStatus, -1);

    std::vector<SpoolCall> calls = env.Spool().Calls();
    size_t clear = 0, job = 0;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].function == L"SetPrinter")
            clear = i;
        if (calls[i].function == L"SetJob")
            job = i;
    }
    EXPECT_LT(clear, job) << "the status is cleared before the job command";
}

TEST(PrinterJob, CancelCancelsOnThe9xFamily)
{
    MonitorEnv env;
    OsVersionCode = k9x;
    EXPECT_EQ(SM_SetPrinterJob(kJobCancel, kJob), 1);
    EXPECT_EQ(env.JobCommands(), (std::vector<std::pair<DWORD, DWORD>>{{kJob, 3}}));
    EXPECT_FALSE(env.JobQueued(kJob));
}

TEST(PrinterJob, RestartLeavesThePrinterStatusAlone)
{
    for (DWORD os : {kNT, k9x}) {
        MonitorEnv env;
        OsVersionCode = os;
        EXPECT_EQ(SM_SetPrinterJob(kJobRestart, kJob), 1) << os;
        EXPECT_EQ(env.JobCommands(), (std::vector<std::pair<DWORD, DWORD>>{{kJob, 4}})) << os;
        EXPECT_TRUE(env.JobQueued(kJob)) << os;
        EXPECT_TRUE(env.StatusWords().empty()) << os;
    }
}

TEST(PrinterJob, FailsWithoutTheJobOrThePrinter)
{
    MonitorEnv env;
    EXPECT_EQ(SM_SetPrinterJob(kJobRestart, 42), 0);
    EXPECT_EQ(SM_SetPrinterJob(kJobRestart, 0), 0);  // as a missing "JobID" reads
    env.Write(L"PrinterName", nullptr);
    EXPECT_EQ(SM_SetPrinterJob(kJobRestart, kJob), 0);
    EXPECT_TRUE(env.JobCommands().empty());
    EXPECT_TRUE(env.JobQueued(kJob));
}

// The queue may grow between the size query and the fetch of EnumJobs: the
// job commands fetch again with the larger size rather than give up, but
// not for ever.
TEST(PrinterJob, FindsTheJobWhileTheQueueGrows)
{
    const struct {
        DWORD arriving;
        int result;
    } cases[] = {{1, 1}, {3, 1}, {20, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.arriving) + " jobs arriving");
        MonitorEnv env(false);
        SpoolPrinterSeed printer;
        printer.name = kPrinter;
        printer.jobs = {{kJob, L"Report.pdf"}};
        for (DWORD id = 20; id < 20 + c.arriving; ++id)
            printer.arriving.push_back({id, L"Late.pdf"});
        env.Spool().AddPrinter(printer);
        env.Write(L"PrinterName", kPrinter);
        TraceCapture trace;
        EXPECT_EQ(SM_SetPrinterJob(kJobCancel, kJob), c.result);
        EXPECT_EQ(env.JobQueued(kJob), c.result == 0);
        EXPECT_EQ(trace.Count("EnumJobs fail! rc = 122"), c.result ? 0u : 1u);
    }
}

// A job deleted while it printed stays listed a while, being deleted: it is
// not commanded again. Deleting it counts as done, restarting it does not.
TEST(PrinterJob, AJobBeingDeletedIsNotCommandedAgain)
{
    MonitorEnv env(false);
    SpoolPrinterSeed printer;
    printer.name = kPrinter;
    printer.jobs = {{kJob, L"Report.pdf"}};
    printer.jobs[0].printing = true;
    env.Spool().AddPrinter(printer);
    env.Write(L"PrinterName", kPrinter);
    EXPECT_EQ(SM_SetPrinterJob(kJobCancel, kJob), 1);
    ASSERT_TRUE(env.JobQueued(kJob)) << "it lingers";
    EXPECT_EQ(SM_SetPrinterJob(kJobCancel, kJob), 1);
    EXPECT_EQ(SM_SetPrinterJob(kJobRestart, kJob), 0);
    EXPECT_EQ(env.JobCommands(), (std::vector<std::pair<DWORD, DWORD>>{{kJob, 5}}));
}

// "PrinterName" comes from a file every local user can write: a name the
// spooler does not list (another host's share, say) is never opened, on
// either family, and counts as a printer that cannot be opened.
TEST(UnlistedPrinter, IsNeverOpened)
{
    for (DWORD os : {kNT, k9x}) {
        MonitorEnv env;
        OsVersionCode = os;
        for (const wchar_t* name : {L"\\\\host\\share", L"Office MFP,XcvMonitor Local Port", L"Office"}) {
            env.Write(L"PrinterName", name);
            SM_SetSpoolerStatusByCode(33);
            EXPECT_EQ(g_SpoolerBusy, 0) << os;
            EXPECT_EQ(SM_SetPrinterJob(kJobRestart, kJob), 0) << os;
            EXPECT_EQ(SM_SetPrinterJob(kJobCancel, kJob), 0) << os;
        }
        EXPECT_TRUE(env.Spool().Calls(L"OpenPrinter").empty()) << os;
        EXPECT_TRUE(env.JobQueued(kJob)) << os;

        // The listed printer is still reached, its name in any letter case.
        env.Write(L"PrinterName", L"OFFICE mfp");
        EXPECT_EQ(MISC_IsListedPrinterW(L"OFFICE mfp"), 1);
        EXPECT_EQ(MISC_IsListedPrinterA("OFFICE mfp"), 1);
        env.Write(L"PrinterName", kPrinter);
        SM_SetSpoolerStatusByCode(33);
        EXPECT_EQ(env.StatusWords(), std::vector<DWORD>{0x8}) << os;
    }
}

// A connection to a network printer that this user made is listed, and so
// is opened as before.
TEST(UnlistedPrinter, ListedConnectionIsOpened)
{
    MonitorEnv env(false);
    SpoolPrinterSeed connection;
    connection.name = L"\\\\print-server\\Office MFP";
    connection.jobs = {{kJob, L"Report.pdf"}};
    env.Spool().AddPrinter(connection);
    env.Write(L"PrinterName", connection.name.c_str());
    SM_SetSpoolerStatusByCode(5);
    EXPECT_EQ(env.Spool().Status(connection.name), 0x400000u);
    EXPECT_EQ(SM_SetPrinterJob(kJobRestart, kJob), 1);
}

// The status word asks to administer the printer, and where that is refused
// for the limited management an installer may grant. A standard user
// without the grant is refused it: nothing is set, nothing stays busy, and
// the refusal is traced once per printer however many statuses follow.
TEST(SpoolerRights, StatusWordNeedsManagementAndARefusalIsTracedOncePerPrinter)
{
    MonitorEnv env(false);
    env.Spool().AddPrinter(PrinterWith(L"User MFP", SpoolRights::kUser));
    env.Spool().AddPrinter(PrinterWith(L"Limited MFP", SpoolRights::kUserLimited));
    env.Spool().AddPrinter(PrinterWith(L"Admin MFP", SpoolRights::kAdmin));
    TraceCapture trace;
    for (const wchar_t* name : {L"User MFP", L"Limited MFP", L"User MFP", L"Admin MFP"}) {
        env.Write(L"PrinterName", name);
        for (int code : {33, 5, 2})
            SM_SetSpoolerStatusByCode(code);
        SM_ClearSpoolerStatus();
        EXPECT_EQ(g_SpoolerBusy, 0);
    }
    for (const SpoolCall& call : env.Spool().Calls(L"SetPrinter"))
        EXPECT_NE(call.printer, L"User MFP");
    EXPECT_EQ(env.StatusWords(), (std::vector<DWORD>{0x8, 0x400000, 0x2, 0, 0x8, 0x400000, 0x2, 0}));
    const DWORD both[] = {PRINTER_ACCESS_ADMINISTER, PRINTER_ACCESS_MANAGE_LIMITED};
    std::vector<DWORD> expected;
    for (int refusing = 0; refusing < 3 * 4; ++refusing)
        expected.insert(expected.end(), std::begin(both), std::end(both));
    expected.resize(expected.size() + 4, PRINTER_ACCESS_ADMINISTER);
    EXPECT_EQ(AccessAsked(env.Spool()), expected);
    EXPECT_EQ(trace.Count("refuses its status word"), 1u) << "once for the printer that refuses";
}

// Job commands ask only to print. The owner of a job may control it, an
// administrator any job; another user's job is refused, which the user is
// not told (the dialog shows instead) but the trace records.
TEST(SpoolerRights, JobCommandsAskOnlyToPrint)
{
    const struct {
        SpoolRights rights;
        DWORD job;
        int result;
    } cases[] = {
        {SpoolRights::kAdmin, kJob, 1},       {SpoolRights::kAdmin, 8, 1},
        {SpoolRights::kUser, kJob, 1},        {SpoolRights::kUser, 8, 0},
        {SpoolRights::kUserLimited, kJob, 1}, {SpoolRights::kUserLimited, 8, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("rights " + std::to_string(static_cast<int>(c.rights)) + ", job " + std::to_string(c.job));
        MonitorEnv env(false);
        env.Spool().AddPrinter(PrinterWith(kPrinter, c.rights));
        env.Write(L"PrinterName", kPrinter);
        TraceCapture trace;
        EXPECT_EQ(SM_SetPrinterJob(kJobRestart, c.job), c.result);
        EXPECT_EQ(SM_SetPrinterJob(kJobCancel, c.job), c.result);
        EXPECT_EQ(env.JobQueued(c.job), c.result == 0);
        std::vector<SpoolCall> commands = env.Spool().Calls(L"SetJob");
        ASSERT_EQ(commands.size(), 2u);
        EXPECT_EQ(commands[0].error, c.result ? 0u : static_cast<DWORD>(ERROR_ACCESS_DENIED));
        EXPECT_EQ(trace.Count("SetJob " + std::to_string(c.job)), c.result ? 0u : 2u);
        for (const SpoolCall& open : env.Spool().Calls(L"OpenPrinter"))
            EXPECT_TRUE(open.access == PRINTER_ACCESS_USE || open.access == PRINTER_ACCESS_ADMINISTER ||
                        open.access == PRINTER_ACCESS_MANAGE_LIMITED)
                << open.access;
        EXPECT_EQ(AccessAsked(env.Spool()).back(), static_cast<DWORD>(PRINTER_ACCESS_USE));
    }
}

// A spooler that is away owes the last set or clear: tried again at most
// once a second, each time as the newest word it owes, and forgotten when a
// new status decides. A refusal of another kind is the printer's answer
// and is never tried again.
TEST(SpoolerAway, TheOwedWordIsTriedOnceASecondUntilANewStatus)
{
    MonitorEnv env;
    auto refused = [&env] {
        size_t count = 0;
        for (const SpoolCall& call : env.Spool().Calls())
            count += call.error == RPC_S_SERVER_UNAVAILABLE;
        return count;
    };
    auto secondPasses = [] { g_SpoolerOwedTick -= 1000; };
    env.Spool().StopSpoolerFor(60000);
    SM_SetSpoolerStatusByCode(33);
    EXPECT_EQ(g_SpoolerOwed, SpoolerOwed::Word);
    EXPECT_EQ(g_SpoolerOwedWord, 0x8u);
    EXPECT_EQ(g_SpoolerBusy, 0);
    EXPECT_EQ(refused(), 1u);
    SM_RetryOwedSpoolerStatus();
    EXPECT_EQ(refused(), 1u) << "not within the second";
    secondPasses();
    SM_RetryOwedSpoolerStatus();
    EXPECT_EQ(refused(), 2u);
    SM_ClearSpoolerStatus();
    EXPECT_EQ(g_SpoolerOwed, SpoolerOwed::Clear) << "the clear replaces the word";

    env.Spool().StopSpoolerFor(0);
    SM_SetSpoolerStatus(0x8, kSetStatusCommand);
    EXPECT_EQ(env.StatusWords(), std::vector<DWORD>{0x8}) << "a newer word decides";
    EXPECT_EQ(g_SpoolerOwed, SpoolerOwed::None);

    env.Spool().StopSpoolerFor(60000);
    SM_ClearSpoolerStatus();
    env.Spool().StopSpoolerFor(0);
    secondPasses();
    SM_RetryOwedSpoolerStatus();
    EXPECT_EQ(env.StatusWords(), (std::vector<DWORD>{0x8, 0}));
    EXPECT_EQ(g_SpoolerOwed, SpoolerOwed::None);
    EXPECT_EQ(g_LastSpoolerStatus, -1) << "a clear, so any word is set again";

    // A new list drops what an older one owed, even when it sets no word.
    env.Spool().StopSpoolerFor(60000);
    SM_SetSpoolerStatusByCode(5);
    ASSERT_EQ(g_SpoolerOwed, SpoolerOwed::Word);
    env.Spool().StopSpoolerFor(0);
    const int noWord[] = {999};
    SM_SetSMStatus(g_hMonitorWnd, noWord, 1);
    EXPECT_EQ(g_SpoolerOwed, SpoolerOwed::None);

    // A printer no spooler lists is no absent spooler.
    env.Write(L"PrinterName", L"Gone MFP");
    SM_SetSpoolerStatusByCode(7);
    EXPECT_EQ(g_SpoolerOwed, SpoolerOwed::None);
    EXPECT_EQ(env.StatusWords(), (std::vector<DWORD>{0x8, 0}));
}

namespace {

// Every printer name the code under test opens, as it calls the real
// spooler through this program's imports.
class OpenRecorder {
public:
    OpenRecorder()
        : wide_("winspool.drv", "OpenPrinterW", reinterpret_cast<void*>(&OpenW)),
          ansi_("winspool.drv", "OpenPrinterA", reinterpret_cast<void*>(&OpenA))
    {
        recorder_ = this;
    }
    ~OpenRecorder() { recorder_ = nullptr; }
    OpenRecorder(const OpenRecorder&) = delete;
    OpenRecorder& operator=(const OpenRecorder&) = delete;

    bool Patched() const { return wide_.Patched() && ansi_.Patched(); }
    const std::vector<std::wstring>& Opened() const { return opened_; }

private:
    static BOOL WINAPI OpenW(LPWSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSW defaults)
    {
        recorder_->opened_.push_back(name ? name : L"(null)");
        return reinterpret_cast<decltype(&OpenPrinterW)>(recorder_->wide_.Original())(name, printer, defaults);
    }
    static BOOL WINAPI OpenA(LPSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSA defaults)
    {
        std::string ansi = name ? name : "(null)";
        recorder_->opened_.push_back(std::wstring(ansi.begin(), ansi.end()));
        return reinterpret_cast<decltype(&OpenPrinterA)>(recorder_->ansi_.Original())(name, printer, defaults);
    }

    static OpenRecorder* recorder_;
    ImportPatch wide_;
    ImportPatch ansi_;
    std::vector<std::wstring> opened_;
};

OpenRecorder* OpenRecorder::recorder_ = nullptr;

} // namespace

// Wine's own spooler lists the print server's queues; a name it does not
// list is never opened, by the monitor on either family nor by a prompt.
TEST(RealSpoolerCalls, AnUnlistedPrinterIsNeverOpened)
{
    OpenRecorder recorder;
    ASSERT_TRUE(recorder.Patched());
    for (DWORD os : {kNT, k9x}) {
        MonitorEnv env(false);
        OsVersionCode = os;
        for (const wchar_t* name : {L"\\\\print-host\\MFP_USB", L"MFP_USB,XcvMonitor Local Port", L"MFP"}) {
            env.Write(L"PrinterName", name);
            SM_SetSpoolerStatusByCode(33);
            EXPECT_EQ(g_SpoolerBusy, 0) << os;
            EXPECT_EQ(SM_SetPrinterJob(kJobRestart, kJob), 0) << os;
            EXPECT_EQ(SM_SetPrinterJob(kJobCancel, kJob), 0) << os;
            wcsncpy(g_szTargetPrinter, name, kTextUnits - 1);
            PromptFailure why = PromptFailure::kRefused;
            EXPECT_EQ(MISC_OpenTargetPrinter(&why), nullptr);
            EXPECT_EQ(why, PromptFailure::kNoPrinter);
        }
    }
    EXPECT_EQ(recorder.Opened(), std::vector<std::wstring>{});
    g_szTargetPrinter[0] = L'\0';

    // A listed queue is opened, its name in any letter case.
    MonitorEnv env(false);
    env.Write(L"PrinterName", L"mfp_usb");
    SM_SetSpoolerStatusByCode(5);
    EXPECT_EQ(recorder.Opened(), std::vector<std::wstring>{L"mfp_usb"});
}

// Wine's own spooler takes no status word (SetPrinter has no level 0 there)
// and keeps no job list (EnumJobs fails): each refusal is traced, nothing
// stays busy, and no word counts as set.
TEST(RealSpoolerCalls, RefusalsAreTracedAndNothingStaysBusy)
{
    MonitorEnv env(false);
    env.Write(L"PrinterName", kUsbQueue);
    TraceCapture trace;
    SM_SetSpoolerStatusByCode(33);
    EXPECT_EQ(g_LastSpoolerStatus, -1);
    EXPECT_EQ(g_SpoolerBusy, 0);
    EXPECT_EQ(trace.Count("SetPrinter 0x8 fail!"), 1u);

    EXPECT_EQ(SM_SetPrinterJob(kJobCancel, kJob), 0);
    EXPECT_EQ(SM_SetPrinterJob(kJobRestart, kJob), 0);
    EXPECT_EQ(trace.Count("EnumJobs fail!"), 2u);
    EXPECT_EQ(trace.Count("SetPrinter 0x0 fail!"), 1u) << "the cancel clears the status first";
}
