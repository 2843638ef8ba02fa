// The spooler stand-in itself: what the tests of the monitor, the prompts and
// the wake-up job rely on when they read its record.
#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <map>
#include <string>
#include <vector>

#include "common/printers.h"
#include "testkit/print_server.h"
#include "testkit/spool.h"
#include "testkit/wine_test.h"

namespace {

class SpoolerStandIn : public ::testing::Test {
protected:
    void SetUp() override
    {
        SpoolPrinterSeed usb;
        usb.name = L"Office MFP";
        usb.attributes = 0x40;
        usb.status = 0x2;
        usb.jobs = {{7, L"Report.pdf"}, {9, L""}};
        spool_.AddPrinter(usb);
        SpoolPrinterSeed locked;
        locked.name = L"Locked";
        locked.port = L"IP_10.0.0.9";
        locked.refuseOpen = true;
        spool_.AddPrinter(locked);
    }

    // Opened with the defaults' access; 0 passes no defaults at all.
    HANDLE Open(const wchar_t* name, DWORD access = PRINTER_ALL_ACCESS)
    {
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, access};
        HANDLE printer = nullptr;
        return OpenPrinterW(const_cast<LPWSTR>(name), &printer, access ? &defaults : nullptr) ? printer : nullptr;
    }

    SpoolSandbox spool_;
};

} // namespace

TEST_F(SpoolerStandIn, OpensOnlySeededPrinters)
{
    EXPECT_EQ(Open(L"Nobody"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
    EXPECT_EQ(Open(L"Locked"), nullptr);
    HANDLE printer = Open(L"Office MFP");
    ASSERT_NE(printer, nullptr);
    EXPECT_TRUE(ClosePrinter(printer));

    HANDLE ansi = nullptr;
    EXPECT_TRUE(OpenPrinterA(const_cast<LPSTR>("Office MFP"), &ansi, nullptr));
    ClosePrinter(ansi);
    EXPECT_EQ(spool_.Calls(L"OpenPrinter").size(), 4u);
}

TEST_F(SpoolerStandIn, ReportsPrinterInformation)
{
    HANDLE printer = Open(L"Office MFP");
    ASSERT_NE(printer, nullptr);
    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterW(printer, 2, nullptr, 0, &needed));
    ASSERT_GT(needed, sizeof(PRINTER_INFO_2W));
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(GetPrinterW(printer, 2, buffer.data(), needed, &needed));
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
    EXPECT_STREQ(info->pPortName, L"USB001");
    EXPECT_STREQ(info->pPrinterName, L"Office MFP");
    EXPECT_EQ(info->pServerName, nullptr) << "a local printer";
    EXPECT_STREQ(info->pDatatype, L"RAW");
    EXPECT_STREQ(info->pPrintProcessor, L"winprint");
    EXPECT_STREQ(info->pShareName, L"");
    EXPECT_EQ(info->Attributes, static_cast<DWORD>(PRINTER_ATTRIBUTE_LOCAL));
    EXPECT_EQ(info->Priority, 1u);
    EXPECT_EQ(info->Status, 0x2u);
    EXPECT_EQ(info->cJobs, 2u);
    ClosePrinter(printer);

    // Names are told apart as Windows does, letter case aside; the record
    // gives the printer's own. A connection names its server and is a
    // network printer; seeded attributes are kept.
    SpoolPrinterSeed connection;
    connection.name = L"\\\\print-server\\Office MFP";
    connection.attributes = PRINTER_ATTRIBUTE_WORK_OFFLINE;
    spool_.AddPrinter(connection);
    const struct {
        const wchar_t* opened;
        const wchar_t* name;
        const wchar_t* server;
        DWORD attributes;
    } cases[] = {
        {L"OFFICE mfp", L"Office MFP", nullptr, PRINTER_ATTRIBUTE_LOCAL},
        {L"\\\\PRINT-SERVER\\office mfp", L"\\\\print-server\\Office MFP", L"\\\\print-server",
         PRINTER_ATTRIBUTE_NETWORK | PRINTER_ATTRIBUTE_WORK_OFFLINE},
    };
    for (const auto& c : cases) {
        printer = Open(c.opened);
        ASSERT_NE(printer, nullptr);
        GetPrinterW(printer, 2, nullptr, 0, &needed);
        buffer.assign(needed, 0);
        ASSERT_TRUE(GetPrinterW(printer, 2, buffer.data(), needed, &needed));
        info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
        EXPECT_STREQ(info->pPrinterName, c.name);
        EXPECT_STREQ(info->pServerName, c.server);
        EXPECT_EQ(info->Attributes, c.attributes);
        ClosePrinter(printer);
    }
}

TEST_F(SpoolerStandIn, SetsStatusWordsAndControlsJobs)
{
    HANDLE printer = Open(L"Office MFP");
    ASSERT_NE(printer, nullptr);
    EXPECT_TRUE(SetPrinterW(printer, 0, reinterpret_cast<LPBYTE>(static_cast<ULONG_PTR>(0x8)), 4));
    EXPECT_EQ(spool_.Status(L"Office MFP"), 0x8u);
    EXPECT_FALSE(SetPrinterW(printer, 2, nullptr, 0)) << "only level 0 status words are supported";

    DWORD needed = 0, returned = 0;
    EXPECT_FALSE(EnumJobsW(printer, 0, 255, 1, nullptr, 0, &needed, &returned));
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(EnumJobsW(printer, 0, 255, 1, buffer.data(), needed, &needed, &returned));
    ASSERT_EQ(returned, 2u);
    auto* jobs = reinterpret_cast<JOB_INFO_1W*>(buffer.data());
    EXPECT_EQ(jobs[0].JobId, 7u);
    EXPECT_STREQ(jobs[0].pDocument, L"Report.pdf");
    EXPECT_EQ(jobs[1].pDocument, nullptr);

    EXPECT_TRUE(SetJobW(printer, 7, 0, nullptr, JOB_CONTROL_RESTART));
    EXPECT_EQ(spool_.Jobs(L"Office MFP").size(), 2u);
    EXPECT_TRUE(SetJobW(printer, 7, 0, nullptr, JOB_CONTROL_DELETE));
    EXPECT_FALSE(SetJobW(printer, 7, 0, nullptr, JOB_CONTROL_DELETE)) << "the job is gone";
    ASSERT_EQ(spool_.Jobs(L"Office MFP").size(), 1u);
    EXPECT_EQ(spool_.Jobs(L"Office MFP")[0].id, 9u);
    ClosePrinter(printer);

    std::vector<SpoolCall> commands = spool_.Calls(L"SetJob");
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[1].job, 7u);
    EXPECT_EQ(commands[1].command, static_cast<DWORD>(JOB_CONTROL_DELETE));
    EXPECT_TRUE(commands[1].ok);
    EXPECT_FALSE(commands[2].ok);
}

TEST_F(SpoolerStandIn, QueuesJobsAddedWhileItRuns)
{
    EXPECT_FALSE(spool_.AddJob(L"Nobody", {3, L"Lost.pdf"}));
    ASSERT_TRUE(spool_.AddJob(L"Office MFP", {11, L"Late.pdf"}));
    HANDLE printer = Open(L"Office MFP");
    ASSERT_NE(printer, nullptr);
    EXPECT_TRUE(SetJobW(printer, 11, 0, nullptr, JOB_CONTROL_DELETE)) << "a job added later is controlled like a seeded one";
    ClosePrinter(printer);
    std::vector<SpoolJobSeed> jobs = spool_.Jobs(L"Office MFP");
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].id, 7u);
    EXPECT_EQ(jobs[1].id, 9u);
    EXPECT_TRUE(spool_.Jobs(L"Locked").empty());
}

TEST_F(SpoolerStandIn, KeepsDocumentsAndPrinterData)
{
    HANDLE printer = Open(L"Office MFP");
    ASSERT_NE(printer, nullptr);
    DOC_INFO_1W doc = {const_cast<LPWSTR>(L"PreHeat"), nullptr, nullptr};
    DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&doc));
    EXPECT_GT(job, 9u);
    EXPECT_TRUE(StartPagePrinter(printer));
    const char part1[] = "\x1b" "E", part2[] = "@PJL";
    DWORD written = 0;
    EXPECT_TRUE(WritePrinter(printer, const_cast<char*>(part1), 2, &written));
    EXPECT_TRUE(WritePrinter(printer, const_cast<char*>(part2), 4, &written));
    EXPECT_EQ(written, 4u);
    EXPECT_TRUE(EndPagePrinter(printer));
    EXPECT_TRUE(EndDocPrinter(printer));
    EXPECT_EQ(spool_.Document(job), (std::vector<unsigned char>{0x1b, 'E', '@', 'P', 'J', 'L'}));
    ASSERT_EQ(spool_.Jobs(L"Office MFP").size(), 3u);
    EXPECT_EQ(spool_.Jobs(L"Office MFP")[2].document, L"PreHeat");

    wchar_t id[260] = L"job\t1";
    EXPECT_EQ(SetPrinterDataW(printer, const_cast<LPWSTR>(L"SecID"), REG_SZ, reinterpret_cast<LPBYTE>(id), 520),
              static_cast<DWORD>(ERROR_SUCCESS));
    // Read back as the driver reads it: the size first, then the value.
    DWORD type = 0, needed = 0;
    BYTE read[600] = {};
    EXPECT_EQ(GetPrinterDataW(printer, const_cast<LPWSTR>(L"SecID"), &type, read, 8, &needed),
              static_cast<DWORD>(ERROR_MORE_DATA));
    EXPECT_EQ(needed, 520u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(GetPrinterDataW(printer, const_cast<LPWSTR>(L"SecID"), &type, read, sizeof(read), &needed),
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(memcmp(read, id, 520), 0);
    EXPECT_EQ(GetPrinterDataW(printer, const_cast<LPWSTR>(L"SecPassWord"), &type, read, sizeof(read), &needed),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ClosePrinter(printer);

    std::vector<SpoolCall> data = spool_.Calls(L"SetPrinterData");
    ASSERT_EQ(data.size(), 1u);
    EXPECT_EQ(data[0].name, L"SecID");
    EXPECT_EQ(data[0].type, static_cast<DWORD>(REG_SZ));
    ASSERT_EQ(data[0].data.size(), 520u);
    EXPECT_EQ(std::vector<unsigned char>(data[0].data.begin(), data[0].data.begin() + 12),
              (std::vector<unsigned char>{'j', 0, 'o', 0, 'b', 0, '\t', 0, '1', 0, 0, 0}));
    EXPECT_EQ(spool_.Calls(L"WritePrinter").size(), 2u);
    EXPECT_EQ(spool_.Calls(L"EndDocPrinter").size(), 1u);
    std::vector<SpoolDataValue> kept = spool_.Data(L"Office MFP");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].data, data[0].data);
}

// The product opens only printers that the spooler lists; the stand-in
// lists its local printers and this user's connections as the flags ask,
// in both forms, at the levels used for names.
TEST_F(SpoolerStandIn, ListsItsPrintersByName)
{
    SpoolPrinterSeed connection;
    connection.name = L"\\\\print-server\\Shared MFP";
    spool_.AddPrinter(connection);
    const struct {
        DWORD flags;
        std::vector<std::wstring> names;
    } cases[] = {
        {PRINTER_ENUM_LOCAL, {L"Office MFP", L"Locked"}},
        {PRINTER_ENUM_CONNECTIONS, {L"\\\\print-server\\Shared MFP"}},
        {PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, {L"Office MFP", L"Locked", L"\\\\print-server\\Shared MFP"}},
        {PRINTER_ENUM_SHARED, {}},
    };
    DWORD needed = 0, returned = 0;
    std::vector<BYTE> wide;
    for (const auto& c : cases) {
        EnumPrintersW(c.flags, nullptr, 4, nullptr, 0, &needed, &returned);
        wide.assign(needed, 0);
        ASSERT_TRUE(EnumPrintersW(c.flags, nullptr, 4, wide.data(), needed, &needed, &returned)) << c.flags;
        const auto* w = reinterpret_cast<const PRINTER_INFO_4W*>(wide.data());
        std::vector<std::wstring> names;
        for (DWORD i = 0; i < returned; ++i) {
            names.push_back(w[i].pPrinterName);
            bool remote = w[i].pPrinterName[0] == L'\\';
            EXPECT_EQ(w[i].Attributes, static_cast<DWORD>(remote ? PRINTER_ATTRIBUTE_NETWORK : PRINTER_ATTRIBUTE_LOCAL));
            EXPECT_STREQ(w[i].pServerName, remote ? L"\\\\print-server" : nullptr);
        }
        EXPECT_EQ(names, c.names) << c.flags;
    }

    EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, nullptr, 0, &needed, &returned);
    std::vector<BYTE> ansi(needed);
    ASSERT_TRUE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, ansi.data(), needed, &needed, &returned));
    ASSERT_EQ(returned, 2u) << "the local printers";
    const auto* a = reinterpret_cast<const PRINTER_INFO_5A*>(ansi.data());
    EXPECT_STREQ(a[0].pPrinterName, "Office MFP");
    EXPECT_STREQ(a[1].pPortName, "IP_10.0.0.9");

    wide.assign(8, 0);
    EXPECT_FALSE(EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, wide.data(), 8, &needed, &returned));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

namespace {

SpoolPrinterSeed RightsPrinter(const wchar_t* name, SpoolRights rights)
{
    SpoolPrinterSeed printer;
    printer.name = name;
    printer.rights = rights;
    printer.jobs = {{7, L"Mine.pdf"}, {8, L"Theirs.pdf", true}};
    return printer;
}

} // namespace

// An open asking for more than the caller holds is refused whole, as the
// default printer security has it; the record shows what each open asked.
TEST_F(SpoolerStandIn, OpensOnlyWithRightsTheCallerHolds)
{
    spool_.AddPrinter(RightsPrinter(L"Admin", SpoolRights::kAdmin));
    spool_.AddPrinter(RightsPrinter(L"User", SpoolRights::kUser));
    spool_.AddPrinter(RightsPrinter(L"Limited", SpoolRights::kUserLimited));
    const struct {
        DWORD access;
        bool admin, user, limited;
    } cases[] = {
        {0, true, true, true},  // no defaults: the right to print
        {PRINTER_ACCESS_USE, true, true, true},
        {PRINTER_ACCESS_USE | READ_CONTROL, true, true, true},
        {GENERIC_READ, true, true, true},
        {GENERIC_EXECUTE, true, true, true},
        {PRINTER_ACCESS_MANAGE_LIMITED, true, false, true},
        {PRINTER_ACCESS_ADMINISTER, true, false, false},
        {PRINTER_ALL_ACCESS, true, false, false},
        {GENERIC_ALL, true, false, false},
        {WRITE_DAC, true, false, false},
        {DELETE, true, false, false},
        {MAXIMUM_ALLOWED, true, true, true},
    };
    for (const auto& c : cases) {
        const std::pair<const wchar_t*, bool> printers[] = {{L"Admin", c.admin}, {L"User", c.user}, {L"Limited", c.limited}};
        for (const auto& [name, allowed] : printers) {
            HANDLE printer = Open(name, c.access);
            EXPECT_EQ(printer != nullptr, allowed)
                << std::hex << "access 0x" << c.access << " on " << std::string(name, name + wcslen(name));
            if (printer)
                ClosePrinter(printer);
            else
                EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
            SpoolCall open = spool_.Calls(L"OpenPrinter").back();
            EXPECT_EQ(open.access, c.access);
            EXPECT_EQ(open.ok, allowed);
        }
    }
}

// Each call checks the handle's access: the status word and printer data
// need administer rights or limited management, a document the
// right to print; a job is controlled by its owner or an administrator.
TEST_F(SpoolerStandIn, ChecksEachCallAgainstTheHandleAndTheJobOwner)
{
    spool_.AddPrinter(RightsPrinter(L"Admin", SpoolRights::kAdmin));
    spool_.AddPrinter(RightsPrinter(L"User", SpoolRights::kUser));
    spool_.AddPrinter(RightsPrinter(L"Limited", SpoolRights::kUserLimited));
    const struct {
        const wchar_t* printer;
        DWORD access;
        bool status, data, document, ownJob, otherJob;
    } cases[] = {
        {L"Admin", PRINTER_ACCESS_USE, false, false, true, true, true},
        {L"Admin", PRINTER_ACCESS_ADMINISTER, true, true, false, true, true},
        {L"User", PRINTER_ACCESS_USE, false, false, true, true, false},
        {L"Limited", PRINTER_ACCESS_USE, false, false, true, true, false},
        {L"Limited", PRINTER_ACCESS_MANAGE_LIMITED, true, true, false, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.printer, c.printer + wcslen(c.printer)) + " access " + std::to_string(c.access));
        HANDLE printer = Open(c.printer, c.access);
        ASSERT_NE(printer, nullptr);
        EXPECT_EQ(SetPrinterW(printer, 0, reinterpret_cast<LPBYTE>(static_cast<ULONG_PTR>(0x8)), 4) != FALSE, c.status);
        DWORD value = 1;
        DWORD dataError = c.data ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
        EXPECT_EQ(SetPrinterDataW(printer, const_cast<LPWSTR>(L"V"), REG_DWORD, reinterpret_cast<LPBYTE>(&value), 4), dataError);
        EXPECT_EQ(DeletePrinterDataW(printer, const_cast<LPWSTR>(L"V")), dataError);
        DOC_INFO_1W doc = {const_cast<LPWSTR>(L"Doc"), nullptr, const_cast<LPWSTR>(L"RAW")};
        DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&doc));
        EXPECT_EQ(job != 0, c.document);
        if (job)
            EndDocPrinter(printer);
        EXPECT_EQ(SetJobW(printer, 7, 0, nullptr, JOB_CONTROL_RESTART) != FALSE, c.ownJob);
        EXPECT_EQ(SetJobW(printer, 8, 0, nullptr, JOB_CONTROL_RESTART) != FALSE, c.otherJob);
        if (!c.otherJob)
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        ClosePrinter(printer);
    }
    EXPECT_EQ(spool_.Status(L"User"), 0u);
    EXPECT_EQ(spool_.Status(L"Admin"), 0x8u);
    EXPECT_EQ(spool_.Calls(L"StartDocPrinter").back().dataType, L"RAW");
    EXPECT_EQ(spool_.Jobs(L"User").size(), 3u) << "both seeded jobs and the document stay";
    HANDLE user = Open(L"User", PRINTER_ACCESS_USE);
    EXPECT_FALSE(SetJobW(user, 8, 0, nullptr, JOB_CONTROL_DELETE)) << "not another user's job";
    EXPECT_TRUE(SetJobW(user, 7, 0, nullptr, JOB_CONTROL_DELETE));
    ClosePrinter(user);
    EXPECT_EQ(spool_.Jobs(L"User").size(), 2u);
}

// A job takes the data type given, or the printer's default (RAW) when none
// is; one its print processor does not know is refused.
TEST_F(SpoolerStandIn, GivesEachJobItsDataType)
{
    const struct {
        const wchar_t* given;
        DWORD error;
        const wchar_t* listed;
    } cases[] = {
        {nullptr, 0, L"RAW"},
        {L"RAW", 0, L"RAW"},
        {L"nt emf 1.008", 0, L"nt emf 1.008"},
        {L"PostScript", ERROR_INVALID_DATATYPE, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given ? std::string(c.given, c.given + wcslen(c.given)) : "no data type");
        HANDLE printer = Open(L"Office MFP");
        ASSERT_NE(printer, nullptr);
        DOC_INFO_1W doc = {const_cast<LPWSTR>(L"Doc"), nullptr, const_cast<LPWSTR>(c.given)};
        DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&doc));
        EXPECT_EQ(job != 0, c.error == 0);
        if (!job)
            EXPECT_EQ(GetLastError(), c.error);
        else
            EndDocPrinter(printer);
        DWORD needed = 0, returned = 0;
        EnumJobsW(printer, 0, 255, 2, nullptr, 0, &needed, &returned);
        std::vector<BYTE> buffer(needed);
        ASSERT_TRUE(EnumJobsW(printer, 0, 255, 2, buffer.data(), needed, &needed, &returned));
        const auto* last = reinterpret_cast<const JOB_INFO_2W*>(buffer.data()) + returned - 1;
        EXPECT_STREQ(job ? last->pDatatype : nullptr, c.listed);
        EXPECT_EQ(last->JobId == job, job != 0) << "a refused document queues no job";
        ClosePrinter(printer);
    }
}

// SetJob checks its call as the print system does: the job must be in the
// printer's queue, level 0 comes with no structure and a command, levels 1
// to 4 with a structure (a JOB_INFO_3 naming the same job), commands are
// the nine job commands.
TEST_F(SpoolerStandIn, SetJobChecksLevelStructureAndCommand)
{
    JOB_INFO_1W info1 = {};
    JOB_INFO_2W info2 = {};
    JOB_INFO_3 links = {7, 9, 0};
    JOB_INFO_3 linksOther = {9, 7, 0};
    const struct {
        DWORD job, level;
        void* info;
        DWORD command, error;
    } cases[] = {
        {7, 0, nullptr, JOB_CONTROL_RESTART, 0},
        {7, 0, nullptr, 9, 0},  // JOB_CONTROL_RELEASE
        {7, 0, nullptr, 0, ERROR_INVALID_PARAMETER},
        {7, 0, nullptr, 10, ERROR_INVALID_PARAMETER},
        {7, 1, &info1, 0, 0},
        {7, 2, &info2, JOB_CONTROL_PAUSE, 0},
        {7, 1, nullptr, JOB_CONTROL_RESTART, ERROR_INVALID_PARAMETER},
        {7, 3, &links, 0, 0},
        {7, 3, &linksOther, 0, ERROR_INVALID_PARAMETER},
        {7, 5, &info1, JOB_CONTROL_RESTART, ERROR_INVALID_LEVEL},
        {42, 0, nullptr, JOB_CONTROL_RESTART, ERROR_INVALID_PARAMETER},
    };
    HANDLE printer = Open(L"Office MFP");
    ASSERT_NE(printer, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE("job " + std::to_string(c.job) + " level " + std::to_string(c.level) + " command " +
                     std::to_string(c.command));
        BOOL ok = SetJobW(printer, c.job, c.level, static_cast<LPBYTE>(c.info), c.command);
        EXPECT_EQ(ok != FALSE, c.error == 0);
        if (!ok)
            EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(spool_.Calls(L"SetJob").back().error, c.error);
    }
    ClosePrinter(printer);
    EXPECT_EQ(spool_.Jobs(L"Office MFP").size(), 2u);
}

// A job deleted while it prints stays listed, JOB_STATUS_DELETING, for two
// more listings before it leaves the queue; a job not printing leaves at once.
TEST_F(SpoolerStandIn, APrintingJobLingersAfterItsDelete)
{
    SpoolPrinterSeed busy;
    busy.name = L"Busy MFP";
    busy.jobs = {{7, L"Printing.pdf"}, {9, L"Next.pdf"}};
    busy.jobs[0].printing = true;
    spool_.AddPrinter(busy);
    HANDLE printer = Open(L"Busy MFP");
    ASSERT_NE(printer, nullptr);
    EXPECT_TRUE(SetJobW(printer, 7, 0, nullptr, JOB_CONTROL_DELETE));
    EXPECT_TRUE(SetJobW(printer, 9, 0, nullptr, JOB_CONTROL_DELETE));
    EXPECT_TRUE(SetJobW(printer, 7, 0, nullptr, JOB_CONTROL_DELETE)) << "deleting it again changes nothing";
    const DWORD deleting = JOB_STATUS_DELETING | JOB_STATUS_PRINTING;
    for (size_t expected : {1u, 1u, 0u}) {
        DWORD needed = 0, returned = 0;
        EnumJobsW(printer, 0, 255, 1, nullptr, 0, &needed, &returned);
        std::vector<BYTE> buffer(needed ? needed : 1);
        ASSERT_TRUE(EnumJobsW(printer, 0, 255, 1, buffer.data(), needed, &needed, &returned));
        ASSERT_EQ(returned, expected);
        if (returned) {
            const auto* job = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
            EXPECT_EQ(job->JobId, 7u);
            EXPECT_EQ(job->Status, deleting);
        }
    }
    ClosePrinter(printer);
    EXPECT_TRUE(spool_.Jobs(L"Busy MFP").empty());
}

// Another application prints between a caller's size query and its fetch:
// each call that finds its buffer too small lets one more job arrive, so the
// fetch fails with ERROR_INSUFFICIENT_BUFFER and a larger size until none is
// left to arrive.
TEST_F(SpoolerStandIn, AQueueGrowsBetweenSizeQueryAndFetch)
{
    SpoolPrinterSeed growing;
    growing.name = L"Growing MFP";
    growing.jobs = {{7, L"First.pdf"}};
    growing.arriving = {{8, L"Second.pdf"}, {9, L"PreHeat"}};
    spool_.AddPrinter(growing);
    HANDLE printer = Open(L"Growing MFP");
    ASSERT_NE(printer, nullptr);
    DWORD needed = 0, returned = 0;
    EXPECT_FALSE(EnumJobsW(printer, 0, 255, 2, nullptr, 0, &needed, &returned));
    std::vector<DWORD> sizes = {needed};
    std::vector<BYTE> buffer;
    for (int fetch = 0; fetch < 5; ++fetch) {
        buffer.assign(needed, 0);
        if (EnumJobsW(printer, 0, 255, 2, buffer.data(), needed, &needed, &returned))
            break;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
        sizes.push_back(needed);
    }
    ASSERT_EQ(sizes.size(), 3u) << "two fetches fail, one per arriving job";
    EXPECT_LT(sizes[0], sizes[1]);
    EXPECT_LT(sizes[1], sizes[2]);
    ASSERT_EQ(returned, 3u);
    EXPECT_STREQ(reinterpret_cast<const JOB_INFO_2W*>(buffer.data())[2].pDocument, L"PreHeat");
    ClosePrinter(printer);
}

// A value can be made to resist its deletion, as with a spooler that fails
// halfway through a prompt's rollback.
TEST_F(SpoolerStandIn, DeletesPrinterDataUnlessTheValueIsMadeToFail)
{
    SpoolPrinterSeed sticky;
    sticky.name = L"Sticky MFP";
    sticky.failDelete = L"SecID";
    spool_.AddPrinter(sticky);
    HANDLE printer = Open(L"Sticky MFP");
    ASSERT_NE(printer, nullptr);
    DWORD one = 1;
    for (const wchar_t* name : {L"SecID", L"SecRemoveFile"})
        EXPECT_EQ(SetPrinterDataW(printer, const_cast<LPWSTR>(name), REG_DWORD, reinterpret_cast<LPBYTE>(&one), 4), 0u);
    EXPECT_EQ(DeletePrinterDataW(printer, const_cast<LPWSTR>(L"SecRemoveFile")), 0u);
    EXPECT_EQ(DeletePrinterDataW(printer, const_cast<LPWSTR>(L"SecID")), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    ClosePrinter(printer);
    std::vector<SpoolDataValue> kept = spool_.Data(L"Sticky MFP");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].name, L"SecID");
    EXPECT_FALSE(spool_.Calls(L"DeletePrinterData").back().ok);
}

namespace {

// Wine takes WINEDLLOVERRIDES only from the environment it was started
// with, so the stand-in is chosen for a copy of the probe by its name, in
// the prefix's registry, and the copy runs beside a copy of the stand-in.
class StandInProbe {
public:
    StandInProbe()
    {
        DeleteRegTree(HKEY_CURRENT_USER, kKey);
        RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"winspool.drv", REG_SZ, L"native", sizeof(L"native"));
        CopyFileW(BesideTest(L"spooler_probe.exe").c_str(), Path().c_str(), FALSE);
        CopyFileW(BesideTest(L"winspool.drv").c_str(), folder_.File(L"winspool.drv").c_str(), FALSE);
    }
    ~StandInProbe() { DeleteRegTree(HKEY_CURRENT_USER, kKey); }
    StandInProbe(const StandInProbe&) = delete;
    StandInProbe& operator=(const StandInProbe&) = delete;

    std::wstring Path() const { return folder_.File(L"stand_in_probe.exe"); }

private:
    static constexpr const wchar_t* kKey = L"Software\\Wine\\AppDefaults\\stand_in_probe.exe\\DllOverrides";
    ScratchDir folder_;
};

// The probe's answers on the print server's queue, by key.
std::map<std::string, std::string> Probe(const std::wstring& program)
{
    int code = -1;
    std::string output = RunCapture(L"\"" + program + L"\" MFP_USB", 20000, &code);
    EXPECT_EQ(code, 0) << output;
    std::map<std::string, std::string> answers;
    size_t start = 0;
    for (size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = output.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t equals = line.find('=');
        if (equals != std::string::npos)
            answers[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return answers;
}

} // namespace

// Where the stand-in and Wine's own spooler both answer a call, they answer
// alike, but for the differences below; DIFFERENCES.md beside the stand-in
// gives the reason of each.
TEST(RealSpoolerAgreement, TheStandInAnswersAsTheRealSpoolerDoes)
{
    SpoolSandbox spool;
    SpoolPrinterSeed queue;
    queue.name = kUsbQueue;
    queue.port = L"CUPS:MFP_USB";
    spool.AddPrinter(queue);
    const std::map<std::string, std::pair<std::string, std::string>> differences = {
        // key: {the stand-in's answer, Wine's}
        {"enum.local", {"listed, server null, attributes 0x40", "listed, server null, attributes 0x0"}},
        {"getprinter2.attributes", {"0x40", "0x0"}},
        {"getprinter2.priority", {"1", "0"}},
        {"getprinter2.devmode", {"none", "given"}},
        {"setprinter.status", {"ok", "error 124"}},
        {"enumjobs", {"ok, 0 jobs", "error 0"}},
        {"setjob.unknown", {"error 87", "error 0"}},
        {"startdoc.unknown_type", {"error 1804", "not ended"}},
    };
    StandInProbe standInProbe;
    std::map<std::string, std::string> standIn = Probe(standInProbe.Path());
    std::map<std::string, std::string> real = Probe(BesideTest(L"spooler_probe.exe"));
    ASSERT_GT(real.size(), differences.size());
    for (const auto& [key, answer] : real) {
        auto difference = differences.find(key);
        if (difference == differences.end()) {
            EXPECT_EQ(standIn[key], answer) << key;
            continue;
        }
        EXPECT_EQ(standIn[key], difference->second.first) << key;
        EXPECT_EQ(answer, difference->second.second) << key;
    }
    EXPECT_EQ(standIn.size(), real.size()) << "the same calls answered";
}
