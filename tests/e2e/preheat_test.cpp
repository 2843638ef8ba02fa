// "PREHEAT" of the shipped program against the spooler stand-in: which
// printers get the wake-up job, and the job's exact bytes; on the real
// spooler (the RealSpooler tests), what the print server received.
#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "testkit/print_server.h"
#include "testkit/spool.h"
#include "testkit/wine_test.h"

namespace {

constexpr DWORD kTimeoutMs = 20000;

// The job page: the wake-up stream, 512 zero bytes, the stream again.
std::vector<unsigned char> ExpectedPage()
{
    const std::string stream = "\x1B" "E" "\x1B%-12345X@PJL WAKEUP\r\n@PJL PREHEAT\r\n"
                               "@PJL SET TIMEOUT=5\r\n@PJL EOJ\r\n\x1B%-12345X";
    std::vector<unsigned char> page(stream.begin(), stream.end());
    page.resize(page.size() + 512, 0);
    page.insert(page.end(), stream.begin(), stream.end());
    return page;
}

int Preheat(const std::wstring& printer)
{
    return RunBeside(L"mfpsm.exe", L"PREHEAT \"" + printer + L"\"", kTimeoutMs);
}

SpoolPrinterSeed Printer(const wchar_t* name, const wchar_t* port, DWORD attributes = 0)
{
    SpoolPrinterSeed printer;
    printer.name = name;
    printer.port = port;
    printer.attributes = attributes;
    return printer;
}

} // namespace

TEST(Preheat, OnlineUsbPrinterGetsExactlyOneJob)
{
    SpoolSandbox spool;
    spool.AddPrinter(Printer(L"USB MFP", L"USB001"));
    ASSERT_EQ(ExpectedPage().size(), 666u);

    EXPECT_EQ(Preheat(L"USB MFP"), 1);
    std::vector<SpoolCall> started = spool.Calls(L"StartDocPrinter");
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].name, L"PreHeat");
    EXPECT_EQ(started[0].dataType, L"RAW");
    EXPECT_EQ(started[0].printer, L"USB MFP");
    EXPECT_EQ(spool.Document(started[0].job), ExpectedPage());
    EXPECT_EQ(spool.Calls(L"WritePrinter").size(), 3u) << "stream, zeros, stream";
    EXPECT_EQ(spool.Calls(L"EndPagePrinter").size(), 1u);
    EXPECT_EQ(spool.Calls(L"EndDocPrinter").size(), 1u);
    std::vector<SpoolJobSeed> queue = spool.Jobs(L"USB MFP");
    ASSERT_EQ(queue.size(), 1u);
    EXPECT_EQ(queue[0].document, L"PreHeat");

    EXPECT_EQ(Preheat(L"USB MFP"), 1);
    EXPECT_EQ(spool.Calls(L"StartDocPrinter").size(), 1u) << "the queued job is found and nothing is sent";
    EXPECT_EQ(spool.Jobs(L"USB MFP").size(), 1u);
}

// Printing a raw job needs only the right every user holds.
TEST(Preheat, StandardUserGetsTheJobAskingOnlyToPrint)
{
    SpoolSandbox spool;
    SpoolPrinterSeed printer = Printer(L"USB MFP", L"USB001");
    printer.rights = SpoolRights::kUser;
    spool.AddPrinter(printer);
    EXPECT_EQ(Preheat(L"USB MFP"), 1);
    ASSERT_EQ(spool.Calls(L"StartDocPrinter").size(), 1u);
    EXPECT_EQ(spool.Document(spool.Calls(L"StartDocPrinter")[0].job), ExpectedPage());
    ASSERT_EQ(spool.Calls(L"OpenPrinter").size(), 1u);
    EXPECT_EQ(spool.Calls(L"OpenPrinter")[0].access, static_cast<DWORD>(PRINTER_ACCESS_USE));
}

TEST(Preheat, NothingForNetworkOfflineOrAlreadyQueued)
{
    SpoolSandbox spool;
    spool.AddPrinter(Printer(L"Network MFP", L"IP_192.168.0.20"));
    spool.AddPrinter(Printer(L"Lower case port", L"usb001"));
    spool.AddPrinter(Printer(L"Offline MFP", L"USB002", 0x400));
    const std::pair<const wchar_t*, const wchar_t*> queuedJobs[] = {
        {L"Queued lower", L"preheat"}, {L"Queued upper", L"PREHEAT"}, {L"Queued mixed", L"pReHeAt"}};
    for (const auto& [printerName, document] : queuedJobs) {
        SpoolPrinterSeed queued = Printer(printerName, L"USB003");
        queued.jobs = {{7, L"Report.pdf"}, {8, document}};
        spool.AddPrinter(queued);
    }

    // Queued while the program lists the queue: it fetches the list again.
    SpoolPrinterSeed arriving = Printer(L"Queued meanwhile", L"USB004");
    arriving.jobs = {{7, L"Report.pdf"}};
    arriving.arriving = {{8, L"Scan.pdf"}, {9, L"PreHeat"}};
    spool.AddPrinter(arriving);

    for (const wchar_t* printer : {L"Network MFP", L"Lower case port", L"Offline MFP", L"Queued lower",
                                   L"Queued upper", L"Queued mixed", L"Queued meanwhile"}) {
        EXPECT_EQ(Preheat(printer), 1);
        EXPECT_TRUE(spool.Calls(L"StartDocPrinter").empty()) << std::string(printer, printer + wcslen(printer));
    }
    EXPECT_EQ(spool.Jobs(L"Queued lower").size(), 2u);
}

// A wake-up job deleted while it printed is still listed a while, being
// deleted; it will not wake the printer, so a new one is queued.
TEST(Preheat, AJobBeingDeletedDoesNotCount)
{
    SpoolSandbox spool;
    SpoolPrinterSeed printer = Printer(L"USB MFP", L"USB001");
    printer.jobs = {{8, L"PreHeat"}};
    printer.jobs[0].printing = true;
    printer.jobs[0].status = JOB_STATUS_DELETING;
    printer.jobs[0].lingers = 2;
    spool.AddPrinter(printer);
    EXPECT_EQ(Preheat(L"USB MFP"), 1);
    std::vector<SpoolCall> started = spool.Calls(L"StartDocPrinter");
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(spool.Document(started[0].job), ExpectedPage());
}

TEST(Preheat, MissingOrUnknownPrinterWritesNothing)
{
    SpoolSandbox spool;
    spool.AddPrinter(Printer(L"USB MFP", L"USB001"));
    EXPECT_EQ(RunBeside(L"mfpsm.exe", L"PREHEAT", kTimeoutMs), 1);
    EXPECT_EQ(Preheat(L""), 1);
    EXPECT_EQ(Preheat(L"No such printer"), 1);
    EXPECT_TRUE(spool.Calls(L"StartDocPrinter").empty());
    EXPECT_TRUE(spool.Calls(L"WritePrinter").empty());
    EXPECT_TRUE(spool.Jobs(L"USB MFP").empty());
}

namespace {

// A job of the test's own, through the same spooler: whatever the program
// sent reached the server before it.
bool SendProbeJob(const wchar_t* queue)
{
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<LPWSTR>(queue), &printer, nullptr))
        return false;
    DOC_INFO_1W document = {const_cast<LPWSTR>(L"Probe"), nullptr, const_cast<LPWSTR>(L"RAW")};
    bool sent = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&document)) != 0;
    DWORD written = 0;
    sent = sent && WritePrinter(printer, const_cast<char*>("probe"), 5, &written) && written == 5;
    sent = EndDocPrinter(printer) && sent;
    ClosePrinter(printer);
    return sent;
}

} // namespace

// Wine's own spooler hands the job to the print server, whose queues Wine
// names by port CUPS:QUEUE.
TEST(RealSpoolerPreheat, TheServerGetsTheWakeUpJobOfAUsbQueueAndNothingElse)
{
    ASSERT_FALSE(PrintServerDir().empty()) << "CUPS_SERVER names no print server";
    DWORD before = LastServerJobId();

    // A port name without USB: no job. That it sent none is seen from the
    // next job's id: it follows the last one directly.
    EXPECT_EQ(Preheat(kLanQueue), 1);
    EXPECT_EQ(Preheat(kUsbQueue), 1);
    ServerJob job = WaitForServerJob(before, kTimeoutMs);
    ASSERT_EQ(job.id, before + 1) << "no job, or a job for " << job.queue << " first";
    EXPECT_EQ(job.queue, "MFP_USB");
    EXPECT_EQ(job.name, "PreHeat");
    EXPECT_EQ(job.format, "application/vnd.cups-raw") << "the RAW data type reaches the server";
    EXPECT_EQ(job.data, ExpectedPage());

    // Exactly one job: the test's own comes next.
    ASSERT_TRUE(SendProbeJob(kUsbQueue));
    ServerJob probe = WaitForServerJob(job.id, kTimeoutMs);
    EXPECT_EQ(probe.id, job.id + 1);
    EXPECT_EQ(probe.name, "Probe");
    for (const ServerJob& seen : PrintServerJobs())
        EXPECT_NE(seen.queue, "MFP_LAN") << "job " << seen.id;
}
