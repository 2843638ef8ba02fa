// "PREHEAT" of the shipped program on Wine's own spooler, which hands the
// job to the project's print server: what the server received.
#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "testkit/print_server.h"
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
    return RunBeside(L"mfpsm.exe", L"PREHEAT " + printer, kTimeoutMs);
}

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

TEST(RealSpoolerPreheat, TheServerGetsTheWakeUpJobOfAUsbQueueAndNothingElse)
{
    ASSERT_FALSE(PrintServerDir().empty()) << "CUPS_SERVER names no print server";
    ASSERT_EQ(ExpectedPage().size(), 666u);
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
