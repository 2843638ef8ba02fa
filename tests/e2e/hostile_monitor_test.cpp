// The resident monitor fed hostile files: the status exchange file as another
// process might leave it (binary junk, another encoding, broken UTF-16, huge
// values, too many codes, extreme stamps, overlong printer names) and a UI
// text file with overlong texts. After each, the monitor must still run and
// take the next good status.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "testkit/spool.h"
#include "testkit/wine_test.h"

namespace {

constexpr DWORD kTimeoutMs = 20000;
constexpr DWORD kShowWaitMs = 5000;
constexpr const wchar_t* kPrinter = L"Office MFP";
constexpr const wchar_t* kTitle = L"MFP Status Monitor";
constexpr const wchar_t* kSection = L"Printer Information";
constexpr DWORD kPaperJamWord = 0x8;
constexpr size_t kPrinterNameKept = 255;
constexpr size_t kSlotKept = 127;

std::vector<unsigned char> Utf8File(const std::string& text)
{
    std::vector<unsigned char> bytes = {0xEF, 0xBB, 0xBF};
    bytes.insert(bytes.end(), text.begin(), text.end());
    return bytes;
}

// Deterministic noise with every byte value, NULs and line ends included.
std::vector<unsigned char> Junk(size_t size)
{
    std::vector<unsigned char> bytes(size);
    uint32_t state = 0x9E3779B9u;
    for (unsigned char& b : bytes) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<unsigned char>(state >> 24);
    }
    return bytes;
}

// Writes a key of its own into the status exchange file every few
// milliseconds from another thread, as a busy driver side would. Every write
// rewrites the whole file, and a read from another process at that moment
// finds the file cut short.
class FileRewriter {
public:
    explicit FileRewriter(const std::wstring& file) : file_(file)
    {
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~FileRewriter()
    {
        stop_ = true;
        if (thread_) {
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
        }
    }
    FileRewriter(const FileRewriter&) = delete;
    FileRewriter& operator=(const FileRewriter&) = delete;
    unsigned Writes() const { return writes_; }

private:
    static DWORD WINAPI Run(void* param)
    {
        FileRewriter* self = static_cast<FileRewriter*>(param);
        while (!self->stop_) {
            std::wstring value = std::to_wstring(self->writes_);
            if (WritePrivateProfileStringW(L"Printer Information", L"Busy", value.c_str(), self->file_.c_str()))
                ++self->writes_;
            Sleep(kPauseMs);
        }
        return 0;
    }

    static constexpr DWORD kPauseMs = 2;
    std::wstring file_;
    HANDLE thread_ = nullptr;
    std::atomic<bool> stop_{false};
    std::atomic<unsigned> writes_{0};
};

class HostileMonitor : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WaitForNoWindow(L"mfpsm", kTimeoutMs)) << "a monitor was left running";
        statusFile_ = CommonDocumentsDir() + L"StatusMonitorV3.ini";
        ASSERT_TRUE(WriteAllBytes(statusFile_, "\xFF\xFE", 2));
        SpoolPrinterSeed printer;
        printer.name = kPrinter;
        printer.jobs = {{7, L"Report.pdf"}};
        spool_.AddPrinter(printer);
        monitor_.reset(new ChildProcess(L"\"" + BesideTest(L"mfpsm.exe") + L"\" install"));
        ASSERT_NE(WaitForWindow(L"mfpsm", nullptr, kTimeoutMs), nullptr);
    }
    void TearDown() override
    {
        if (HWND window = FindWindowW(L"mfpsm", nullptr))
            PostMessageW(window, 1026, 0, 0);  // WM_SM_EXIT
        WaitForNoWindow(L"mfpsm", kTimeoutMs);
        monitor_.reset();
        WriteAllBytes(statusFile_, "\xFF\xFE", 2);
    }

    void Write(const wchar_t* section, const wchar_t* key, const std::wstring& value)
    {
        ASSERT_TRUE(WritePrivateProfileStringW(section, key, value.c_str(), statusFile_.c_str()));
    }
    // The driver's order: printer and job, "Status", a new stamp, then "Message".
    void Post(const std::wstring& status, const std::wstring& printer = kPrinter)
    {
        Write(kSection, L"PrinterName", printer);
        Write(L"Job Information", L"JobID", L"7");
        Write(kSection, L"Status", status);
        Write(kSection, L"LastMsg", std::to_wstring(++stamp_));
        Write(kSection, L"Message", L"1027");
    }
    std::wstring Key(const wchar_t* key)
    {
        wchar_t value[64] = L"";
        GetPrivateProfileStringW(kSection, key, L"", value, 64, statusFile_.c_str());
        return value;
    }

    HWND WaitForDialog()
    {
        DWORD start = GetTickCount();
        do {
            HWND dialog = FindWindowW(L"#32770", kTitle);
            if (dialog && IsWindowVisible(dialog) && IsWindowVisible(FindWindowW(L"mfpsm", nullptr)))
                return dialog;
            PumpMessages(20);
        } while (GetTickCount() - start < kShowWaitMs);
        return nullptr;
    }
    bool WaitFor(bool (*done)(HostileMonitor*))
    {
        DWORD start = GetTickCount();
        while (!done(this)) {
            if (GetTickCount() - start >= kShowWaitMs)
                return false;
            PumpMessages(20);
        }
        return true;
    }
    bool WaitForPrinterStatus(const std::wstring& printer, DWORD word)
    {
        DWORD start = GetTickCount();
        while (spool_.Status(printer) != word) {
            if (GetTickCount() - start >= kShowWaitMs)
                return false;
            PumpMessages(20);
        }
        return true;
    }
    static std::wstring Text(HWND window)
    {
        std::vector<wchar_t> text(20000, L'\0');
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
        return text.data();
    }
    // The texts of the non-empty slots of the dialog.
    static std::set<std::wstring> SlotTexts(HWND dialog)
    {
        std::set<std::wstring> texts;
        for (int id = 1001; id <= 1012; ++id) {
            std::wstring text = Text(GetDlgItem(dialog, id));
            if (!text.empty())
                texts.insert(text);
        }
        return texts;
    }
    // The slot texts of the shown dialog once they are the expected ones, or
    // the last seen when the wait ends: a new status reuses a shown dialog.
    std::set<std::wstring> WaitForTexts(const std::set<std::wstring>& expected)
    {
        std::set<std::wstring> seen;
        DWORD start = GetTickCount();
        do {
            if (HWND dialog = WaitForDialog())
                seen = SlotTexts(dialog);
            if (seen == expected)
                break;
            PumpMessages(20);
        } while (GetTickCount() - start < kShowWaitMs);
        return seen;
    }
    bool JobGone(DWORD id)
    {
        DWORD start = GetTickCount();
        do {
            bool queued = false;
            for (const SpoolJobSeed& job : spool_.Jobs(kPrinter))
                queued = queued || job.id == id;
            if (!queued)
                return true;
            PumpMessages(20);
        } while (GetTickCount() - start < kShowWaitMs);
        return false;
    }
    bool Alive() { return monitor_->Running() && FindWindowW(L"mfpsm", nullptr) != nullptr; }

    // A good status after whatever came before: shown, the spooler told, and
    // the close message taken.
    void ExpectGoodStatusTaken(const char* after)
    {
        SCOPED_TRACE(after);
        ASSERT_TRUE(Alive());
        Post(L"33|5|");
        EXPECT_EQ(WaitForTexts({L"Paper Jam.", L"Front cover open."}),
                  (std::set<std::wstring>{L"Paper Jam.", L"Front cover open."}));
        EXPECT_TRUE(WaitForPrinterStatus(kPrinter, kPaperJamWord));
        EXPECT_TRUE(Close());
        EXPECT_TRUE(WaitForPrinterStatus(kPrinter, 0));
    }
    // The driver's close message: taken once (reset to 0), no dialog left.
    // Closed once the monitor has hidden its window: its answer "Message" = 0
    // is written and read back by then. Every profile write rewrites the whole
    // file, so a write of ours before that could meet the monitor's.
    bool Close()
    {
        Write(kSection, L"Message", L"1026");
        return WaitFor([](HostileMonitor* t) { return t->Key(L"Message") == L"0"; }) &&
               WaitFor([](HostileMonitor*) { return FindWindowW(L"#32770", kTitle) == nullptr; }) &&
               WaitFor([](HostileMonitor*) { return !IsWindowVisible(FindWindowW(L"mfpsm", nullptr)); });
    }

    SpoolSandbox spool_;
    std::wstring statusFile_;
    std::unique_ptr<ChildProcess> monitor_;
    int stamp_ = 100;
};

} // namespace

// The driver side rewrites the file whole with something unreadable; the
// monitor keeps ticking over it and takes the next good status written into it.
TEST_F(HostileMonitor, UnreadableFilesLeaveTheMonitorWorking)
{
    std::wstring stampLine = L"LastMsg=5000\r\nMessage=1027\r\n";
    std::vector<unsigned char> oddLength = Utf16File(L"[Printer Information]\r\nStatus=33|\r\n" + stampLine);
    oddLength.push_back(0x41);
    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {"empty file", {}},
        {"64 KB of binary junk", Junk(64 * 1024)},
        {"junk behind the UTF-16 mark", [] {
             std::vector<unsigned char> b = {0xFF, 0xFE};
             std::vector<unsigned char> j = Junk(4096);
             b.insert(b.end(), j.begin(), j.end());
             return b;
         }()},
        {"UTF-8 with its mark", Utf8File("[Printer Information]\r\nPrinterName=B\xC3\xBCro\r\nStatus=6|\r\n"
                                         "LastMsg=5001\r\nMessage=1027\r\n")},
        {"UTF-16 with an odd byte at the end", oddLength},
        {"a section name that never closes", Utf16File(L"[Printer Information\r\nStatus=33|\r\n" + stampLine)},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteAllBytes(statusFile_, c.bytes.data(), c.bytes.size())) << c.what;
        ASSERT_TRUE(TickMonitorTwice()) << c.what << ": the monitor ticks over the file";
        // Whatever the file made the monitor show goes before the good status.
        EXPECT_TRUE(Close()) << c.what;
        ExpectGoodStatusTaken(c.what);
    }
}

TEST_F(HostileMonitor, LoneSurrogateInStatusIsACodeWithoutText)
{
    std::wstring status = L"33|";
    status += static_cast<wchar_t>(0xD800);
    status += L"|5|";
    std::vector<unsigned char> file = Utf16File(L"[Printer Information]\r\nPrinterName=Office MFP\r\nStatus=" + status +
                                                L"\r\nLastMsg=4000\r\nMessage=1027\r\n");
    ASSERT_TRUE(WriteAllBytes(statusFile_, file.data(), file.size()));
    const std::set<std::wstring> shown = {L"Paper Jam.", L"Front cover open."};
    EXPECT_EQ(WaitForTexts(shown), shown);
    EXPECT_TRUE(WaitForPrinterStatus(kPrinter, kPaperJamWord));

    // A lone surrogate as the store name shown with code 277.
    std::wstring store = L"277|StoreName|A";
    store += static_cast<wchar_t>(0xDBFF);
    store += L"|";
    Post(store);
    std::wstring expected = L"Store job name change to A";
    expected += static_cast<wchar_t>(0xDBFF);
    expected += L".";
    EXPECT_EQ(WaitForTexts({expected}), std::set<std::wstring>{expected});
    EXPECT_TRUE(Close());
    ExpectGoodStatusTaken("lone surrogates");
}

// Values of 100 KB: "Status" is read up to its first 259 units and the
// printer name up to 255, so the spooler is told about the printer whose
// name is the kept part.
TEST_F(HostileMonitor, HugeValuesAreCutNotOverrun)
{
    const size_t huge = 100 * 1024;
    std::wstring longName(huge, L'P');
    for (size_t i = 0; i < huge; i += 10)
        longName[i] = static_cast<wchar_t>(L'0' + i / 10 % 10);
    SpoolPrinterSeed cut;
    cut.name = longName.substr(0, kPrinterNameKept);
    spool_.AddPrinter(cut);
    std::vector<unsigned char> file =
        Utf16File(L"[Printer Information]\r\nPrinterName=" + longName + L"\r\nStatus=33|5|" + std::wstring(huge, L'9') +
                  L"|6|\r\nLastMsg=3000\r\nMessage=1027\r\nUnknown=" + std::wstring(huge, L'x') +
                  L"\r\n[Job Information]\r\nJobID=" + std::wstring(huge, L'7') + L"\r\n");
    ASSERT_TRUE(WriteAllBytes(statusFile_, file.data(), file.size()));

    const std::set<std::wstring> shown = {L"Paper Jam.", L"Front cover open."};
    EXPECT_EQ(WaitForTexts(shown), shown)
        << "the code after the long token lies beyond the 259 units read";
    EXPECT_TRUE(WaitForPrinterStatus(cut.name, kPaperJamWord));
    for (const SpoolCall& call : spool_.Calls(L"OpenPrinter"))
        EXPECT_EQ(call.printer.size(), kPrinterNameKept);
    EXPECT_EQ(spool_.Status(kPrinter), 0u);
    EXPECT_TRUE(Close());

    // A 300-character name written the driver's way, into a file as the
    // driver keeps it: the same cut.
    ASSERT_TRUE(WriteAllBytes(statusFile_, "\xFF\xFE", 2));
    std::wstring name300 = longName.substr(0, 300);
    Post(L"35|", name300);
    ASSERT_NE(WaitForDialog(), nullptr);
    EXPECT_TRUE(WaitForPrinterStatus(cut.name, 0x40));
    std::vector<SpoolCall> opens = spool_.Calls(L"OpenPrinter");
    ASSERT_FALSE(opens.empty());
    EXPECT_EQ(opens.back().printer, cut.name);
    EXPECT_TRUE(Close());
    ExpectGoodStatusTaken("huge values");
}

// 129 codes fill the 259 units read: the first 48 are kept, so the 48th
// shows and the 49th and later do not.
TEST_F(HostileMonitor, OnlyTheFirst48CodesAreKept)
{
    std::wstring status = L"5|";
    for (int i = 0; i < 46; ++i)
        status += L"0|";
    status += L"1|";
    for (int i = 0; i < 81; ++i)
        status += L"6|";
    ASSERT_EQ(status.size(), 258u);
    Post(status);
    const std::set<std::wstring> shown = {L"Front cover open.", L"Service Call."};
    EXPECT_EQ(WaitForTexts(shown), shown);
    EXPECT_TRUE(WaitForPrinterStatus(kPrinter, 0x400000));
    ExpectGoodStatusTaken("129 codes");
}

// The stamp is any non-zero 32-bit value; the extremes are stamps like others.
TEST_F(HostileMonitor, StampsAtTheEndsOfTheIntRange)
{
    const struct {
        const wchar_t* stamp;
        const wchar_t* status;
        const wchar_t* text;
    } cases[] = {
        {L"-2147483648", L"32|", L"Paper Empty."},
        {L"2147483647", L"7|", L"No Toner."},
        {L"-2147483648", L"6|", L"No Cartridge."},
        {L"99999999999999999999", L"2|", L"No Cassette."},
    };
    Write(kSection, L"PrinterName", kPrinter);
    for (const auto& c : cases) {
        Write(kSection, L"Status", c.status);
        Write(kSection, L"LastMsg", c.stamp);
        Write(kSection, L"Message", L"1027");
        EXPECT_EQ(WaitForTexts({c.text}), std::set<std::wstring>{c.text}) << c.stamp;
    }
    EXPECT_TRUE(Close());
    ExpectGoodStatusTaken("extreme stamps");
}

// The driver side keeps writing while the monitor reads: every status must
// still be taken with its "Status" and "JobID", every job command and status
// word must reach the printer named by "PrinterName" (read for each spooler
// call), and "ShowSM" must be read as 0 (as missing it would show the dialog).
TEST_F(HostileMonitor, KeysAreReadWhileTheDriverRewritesTheFile)
{
    Write(kSection, L"PrinterName", kPrinter);
    Write(kSection, L"ShowSM", L"0");
    {
        FileRewriter rewriter(statusFile_);
        for (DWORD job = 100; job < 120; ++job) {
            ASSERT_TRUE(spool_.AddJob(kPrinter, {job, L"Busy.pdf"}));
            size_t before = spool_.Calls(L"SetJob").size();
            Write(L"Job Information", L"JobID", std::to_wstring(job));
            Write(kSection, L"Status", L"118|118|118|118|117|");
            Write(kSection, L"LastMsg", std::to_wstring(++stamp_));
            Write(kSection, L"Message", L"1027");
            EXPECT_TRUE(JobGone(job)) << "job " << job;
            std::vector<std::pair<DWORD, DWORD>> commands;
            std::vector<SpoolCall> calls = spool_.Calls(L"SetJob");
            for (size_t i = before; i < calls.size(); ++i)
                commands.push_back({calls[i].job, calls[i].command});
            EXPECT_EQ(commands, (std::vector<std::pair<DWORD, DWORD>>{{job, 4}, {job, 4}, {job, 4}, {job, 4}, {job, 5}}));
            Write(kSection, L"Status", job % 2 ? L"33|" : L"5|");
            Write(kSection, L"LastMsg", std::to_wstring(++stamp_));
            EXPECT_TRUE(WaitForPrinterStatus(kPrinter, job % 2 ? kPaperJamWord : 0x400000)) << "job " << job;
        }
        EXPECT_GT(rewriter.Writes(), 100u);
    }
    EXPECT_EQ(FindWindowW(L"#32770", kTitle), nullptr) << "\"ShowSM\" 0 was not read";
    Write(kSection, L"ShowSM", L"1");
    ExpectGoodStatusTaken("a busy driver side");
}

// "smen.ini" in the Windows folder with texts of 10,000 characters: the
// slots hold 127 of them, captions what their buffers hold.
class HostileUIText : public HostileMonitor {
protected:
    void SetUp() override
    {
        wchar_t windows[MAX_PATH] = L"";
        ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
        uiFile_ = std::wstring(windows) + L"\\smen.ini";
        hadFile_ = FileExists(uiFile_);
        if (hadFile_)
            saved_ = ReadAllBytes(uiFile_);
        std::wstring text = L"[string]\r\n";
        for (const wchar_t* key : {L"msg009", L"msg005", L"msg041", L"group", L"btn001", L"btn002"})
            text += std::wstring(key) + L"=" + std::wstring(10000, key[3] == L'0' ? key[5] : key[0]) + L"\r\n";
        text += L"codepage=" + std::wstring(10000, L'9') + L"\r\n";
        std::vector<unsigned char> bytes = Utf16File(text);
        ASSERT_TRUE(WriteAllBytes(uiFile_, bytes.data(), bytes.size()));
        HostileMonitor::SetUp();
    }
    void TearDown() override
    {
        HostileMonitor::TearDown();
        if (hadFile_)
            WriteAllBytes(uiFile_, saved_.data(), saved_.size());
        else
            DeleteFileW(uiFile_.c_str());
    }

    std::wstring uiFile_;
    bool hadFile_ = false;
    std::vector<unsigned char> saved_;
};

TEST_F(HostileUIText, OverlongTextsAreCutToTheirSlots)
{
    Post(L"33|5|");
    const std::set<std::wstring> cut = {std::wstring(kSlotKept, L'9'), std::wstring(kSlotKept, L'5')};
    EXPECT_EQ(WaitForTexts(cut), cut);
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    std::wstring group = Text(GetDlgItem(dialog, 1118));
    EXPECT_EQ(group, std::wstring(group.size(), L'g'));
    EXPECT_GT(group.size(), 0u);
    EXPECT_LT(group.size(), 10000u);
    EXPECT_EQ(Text(dialog), kTitle);

    // Code 277's text and its store name together are cut to the slot.
    Post(L"277|StoreName|" + std::wstring(200, L'S') + L"|");
    const std::set<std::wstring> store = {std::wstring(kSlotKept, L'1')};
    EXPECT_EQ(WaitForTexts(store), store);
    EXPECT_TRUE(Alive());
}
