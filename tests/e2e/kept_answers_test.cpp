// The answers the program writes into the status exchange file, while the
// driver side keeps rewriting the file: every profile write rewrites the
// whole file, so a driver write that read the file just before the
// program's puts the old state back; under Wine a read that meets a rewrite
// finds the file empty or cut, and two writes that meet join pieces of
// lines. A hundred rounds each of ContinuePrint = 1 after Continue,
// Message = 0 after Delete and Message = 1028 after a refused prompt OK;
// the answer is there after every round. Without the read-back a quarter of
// the Delete answers and a tenth of the prompt answers were lost here; with
// a read-back that believed such cut reads, 1 to 4 in 100.
#include <gtest/gtest.h>

#include <process.h>

#include <atomic>
#include <memory>
#include <string>

#include "monitor/monitor_window.h"
#include "resources/resource.h"
#include "testkit/spool.h"
#include "testkit/wine_test.h"

namespace {

constexpr DWORD kTimeoutMs = 20000;
constexpr int kRounds = 100;
constexpr DWORD kRewritePauseMs = 5;
constexpr const wchar_t* kPrinter = L"Office MFP";
constexpr const wchar_t* kSection = L"Printer Information";

// The driver side rewriting other keys of the file every few milliseconds,
// from its own thread, until stopped. (Back to back, Wine's profile writers
// tear the file itself: a write that meets another's open starts from an
// empty file, and every key is lost, the driver's own too.)
class Rewriter {
public:
    explicit Rewriter(const std::wstring& file) : file_(file)
    {
        thread_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, Run, this, 0, nullptr));
    }
    ~Rewriter() { Stop(); }
    // Returns once the last rewrite is done.
    void Stop()
    {
        stop_ = true;
        if (thread_) {
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
    }
    Rewriter(const Rewriter&) = delete;
    Rewriter& operator=(const Rewriter&) = delete;
    bool Started() const { return thread_ != nullptr; }

private:
    static unsigned __stdcall Run(void* self)
    {
        auto* r = static_cast<Rewriter*>(self);
        for (unsigned n = 0; !r->stop_; ++n) {
            WritePrivateProfileStringW(kSection, L"PrinterState", std::to_wstring(n).c_str(), r->file_.c_str());
            WritePrivateProfileStringW(L"Job Information", L"Pages", std::to_wstring(n % 7).c_str(), r->file_.c_str());
            Sleep(kRewritePauseMs);
        }
        return 0;
    }

    std::wstring file_;
    std::atomic<bool> stop_{false};
    HANDLE thread_ = nullptr;
};

class KeptAnswers : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WaitForNoWindow(L"mfpsm", kTimeoutMs)) << "a monitor was left running";
        statusFile_ = CommonDocumentsDir() + L"StatusMonitorV3.ini";
        WritePrivateProfileStringW(kSection, nullptr, nullptr, statusFile_.c_str());
        WritePrivateProfileStringW(L"Job Information", nullptr, nullptr, statusFile_.c_str());
        SpoolPrinterSeed printer;
        printer.name = kPrinter;
        spool_.AddPrinter(printer);
        Write(L"PrinterName", kPrinter);
    }
    void TearDown() override
    {
        if (HWND window = FindWindowW(L"mfpsm", nullptr))
            PostMessageW(window, 1026, 0, 0);  // WM_SM_EXIT
        WaitForNoWindow(L"mfpsm", kTimeoutMs);
        child_.reset();
    }

    void Start(const std::wstring& args)
    {
        child_.reset(new ChildProcess(L"\"" + BesideTest(L"mfpsm.exe") + L"\" " + args));
        ASSERT_TRUE(child_->Started());
    }
    void Write(const wchar_t* key, const wchar_t* value)
    {
        WritePrivateProfileStringW(kSection, key, value, statusFile_.c_str());
    }
    std::wstring Read(const wchar_t* key)
    {
        wchar_t value[64] = L"";
        GetPrivateProfileStringW(kSection, key, L"<missing>", value, 64, statusFile_.c_str());
        return value;
    }
    // A status as the driver posts it; written from this process, so the
    // rewriting thread never loses it.
    void Post(const wchar_t* status)
    {
        Write(L"Status", status);
        Write(L"LastMsg", std::to_wstring(++lastMsg_).c_str());
        Write(L"Message", L"1027");
    }
    // The tick the monitor's timer runs within 250 ms, run at once: when it
    // returns, the dialog of the posted status is up.
    static HWND ShowPosted()
    {
        HWND monitor = FindWindowW(L"mfpsm", nullptr);
        if (!monitor || !Send(monitor, WM_TIMER, kMonitorTimerId, 0))
            return nullptr;
        HWND dialog = FindWindowW(L"#32770", kMonitorTitle);
        return dialog && IsWindowVisible(dialog) ? dialog : nullptr;
    }
    // Sent, not posted: it returns once the program's thread has handled it,
    // for a button the close, its pause, the write and its read-back included.
    static bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kTimeoutMs, &result) != 0;
    }
    static bool Press(HWND dialog, int id)
    {
        return Send(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

    // Starts the monitor and, each round, posts a status with the first
    // code, presses the button while the driver rewrites the file, and
    // looks for key = value afterwards. The key is cleared first, so no
    // answer of a round before counts. Returns the rounds it was missing in.
    int MonitorAnswersLost(const std::wstring& code, int button, const wchar_t* key, const wchar_t* value)
    {
        Start(L"install");
        if (!child_->Started() || !WaitForWindow(L"mfpsm", nullptr, kTimeoutMs)) {
            ADD_FAILURE() << "no monitor";
            return kRounds;
        }
        int lost = 0;
        for (int round = 0; round < kRounds; ++round) {
            Write(key, nullptr);
            // Two lists in turn: a Continue keeps the list it closed on.
            Post((code + (round % 2 ? L"|5|" : L"|")).c_str());
            HWND dialog = ShowPosted();
            Rewriter driver(statusFile_);
            if (!dialog || !driver.Started() || !Press(dialog, button)) {
                ADD_FAILURE() << "round " << round << ": no dialog, driver or press";
                return kRounds;
            }
            driver.Stop();
            lost += Read(key) != value;
        }
        return lost;
    }

    std::wstring statusFile_;
    SpoolSandbox spool_;
    std::unique_ptr<ChildProcess> child_;
    int lastMsg_ = 0;
};

} // namespace

TEST_F(KeptAnswers, ContinueIsFoundEveryTime)
{
    EXPECT_EQ(MonitorAnswersLost(L"35", IDC_CONTINUE, L"ContinuePrint", L"1"), 0);
}

TEST_F(KeptAnswers, MessageZeroAfterDeleteIsFoundEveryTime)
{
    EXPECT_EQ(MonitorAnswersLost(L"33", IDC_DELETE, L"Message", L"0"), 0);
}

TEST_F(KeptAnswers, PromptAliveIsFoundEveryTime)
{
    Start(std::wstring(L"security 2 \"") + kPrinter + L"\" 0");
    HWND dialog = WaitForDialogOf(*child_, kTimeoutMs);
    ASSERT_NE(dialog, nullptr);
    int lost = 0;
    for (int round = 0; round < kRounds; ++round) {
        Write(L"Message", L"0");
        {
            Rewriter driver(statusFile_);
            ASSERT_TRUE(driver.Started());
            // What OK posts; with the fields empty the close is refused.
            ASSERT_TRUE(Send(dialog, WM_CLOSE, 0, 0)) << "round " << round;
        }
        lost += Read(L"Message") != L"1028";
    }
    EXPECT_TRUE(IsWindow(dialog)) << "every close was to be refused";
    EXPECT_EQ(lost, 0) << "Message = 1028 lost in " << lost << " of " << kRounds << " rounds";
}
