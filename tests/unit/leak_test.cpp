// The monitor runs for months: every drawing and dialog operation is
// repeated many times in this process, and GDI objects, USER objects,
// kernel handles and heap must be where they were after a warm-up (which
// lets fonts, classes and caches settle). MFPSM_LEAK_SCALE multiplies the
// rounds for a long run; each test prints its figures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "common/globals.h"
#include "display/status_draw.h"
#include "display/status_items.h"
#include "leak_meter.h"
#include "monitor_env.h"
#include "prompts/accounting_dialog.h"
#include "prompts/secure_dialog.h"
#include "resources/resource.h"
#include "testkit/wine_test.h"
#include "watermark/base64.h"
#include "watermark/settings.h"
#include "watermark/wm_job.h"

namespace {

constexpr int kWarmUp = 10;
// Allowances for what a system keeps on its own (a cached font, a block of
// its own heap). Every operation runs at least 20 rounds, so one object lost
// per round, of any kind, exceeds its allowance.
constexpr int kGdiSlack = 8;
constexpr int kUserIndexSlack = 32;  // 16 USER handles
constexpr int kHandleSlack = 4;
constexpr size_t kHeapBlockSlack = 16;
constexpr size_t kHeapSlack = 16 * 1024;

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

struct Measured {
    ResourceCounts before;
    ResourceCounts after;
    DWORD elapsedMs = 0;
};

// Runs the operation to warm up, then measures around rounds more of it.
Measured Run(int rounds, const std::function<void(int)>& operation)
{
    for (int i = 0; i < kWarmUp; ++i)
        operation(i);
    Measured m;
    m.before = MeasureResources();
    DWORD start = GetTickCount();
    for (int i = 0; i < rounds; ++i)
        operation(i);
    m.elapsedMs = GetTickCount() - start;
    m.after = MeasureResources();
    return m;
}

size_t Grown(size_t before, size_t after)
{
    return after > before ? after - before : 0;
}

// Expects nothing to have grown over the rounds. Heap and GDI objects may
// grow by what the same number of rounds of baseline grows them: under Wine
// the system's own dialog code keeps about 96 heap bytes per dialog made,
// and one GDI object per status dialog, whoever makes them.
void ExpectFlat(const char* what, int rounds, const std::function<void(int)>& operation,
                const std::function<void(int)>& baseline = nullptr)
{
    Measured m = Run(rounds, operation);
    std::printf("[leaks] %s: %d rounds in %lu ms\n  before: %s\n  after:  %s\n", what, rounds, m.elapsedMs,
                Describe(m.before).c_str(), Describe(m.after).c_str());
    std::fflush(stdout);
    size_t allowed = kHeapSlack;
    size_t blocksAllowed = kHeapBlockSlack;
    int gdiAllowed = kGdiSlack;
    if (baseline) {
        Measured b = Run(rounds, baseline);
        std::printf("  bare dialogs before: %s\n  bare dialogs after:  %s\n", Describe(b.before).c_str(),
                    Describe(b.after).c_str());
        std::fflush(stdout);
        allowed += Grown(b.before.heapBytes, b.after.heapBytes);
        blocksAllowed += Grown(b.before.heapBlocks, b.after.heapBlocks);
        gdiAllowed += std::max(0, b.before.gdiFree - b.after.gdiFree);
    }
    const ResourceCounts& before = m.before;
    const ResourceCounts& after = m.after;
    EXPECT_GE(after.gdiFree, before.gdiFree - gdiAllowed) << what;
    EXPECT_GT(after.gdiFree, 0) << what << ": one more GDI object can still be made";
    EXPECT_LE(after.gdiCounted, before.gdiCounted + kGdiSlack) << what;
    EXPECT_LE(after.userCounted, before.userCounted + kGdiSlack) << what;
    EXPECT_EQ(after.windows, before.windows) << what;
    EXPECT_NE(after.userIndex, 0) << what << ": new windows can still be made";
    EXPECT_LE(after.userIndex, before.userIndex + kUserIndexSlack) << what;
    EXPECT_LE(after.handles, before.handles + kHandleSlack) << what;
    EXPECT_LE(after.heapBlocks, before.heapBlocks + blocksAllowed) << what;
    EXPECT_LE(after.heapBytes, before.heapBytes + allowed) << what;
}

INT_PTR CALLBACK BareDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// A dialog made from the template with a procedure that does nothing.
void MakeBareDialog(int resource)
{
    HWND dialog = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(resource), nullptr, BareDialogProc, 0);
    PumpMessages();
    DestroyWindow(dialog);
}

// Twelve items with records, most with a dot and a line, in two lists that
// share no code, so that every refresh draws anew.
constexpr int kListA[kMaxShownItems] = {5, 6, 80, 135, 257, 260, 261, 262, 263, 264, 266, 278};
constexpr int kListB[kMaxShownItems] = {2, 7, 136, 265, 267, 268, 279, 280, 281, 33, 35, 1};

JobWM SmallRecord(const std::wstring& bmp, DWORD driverType)
{
    JobWM job{};
    wcscpy(reinterpret_cast<wchar_t*>(job.wm.wmText), L"CONFIDENTIAL");
    wcscpy(reinterpret_cast<wchar_t*>(job.wm.wmFaceName), L"Arial");
    wcsncpy(reinterpret_cast<wchar_t*>(job.wmFileName), bmp.c_str(), WM_TEXT_MAX_LEN - 1);
    job.wm.wDensity = 60;
    job.wm.wFontSize = 24;
    job.nWidth = 160;
    job.nHeight = 96;
    job.nDstScale = 1;
    job.nPageDensity = 1;
    job.nMaxPageDensity = 1;
    job.nTextScale = 100;
    job.DriverType = driverType;
    return job;
}

void WriteJobIni(const std::wstring& ini, const JobWM& job)
{
    std::string value = MISC_Base64Encode(reinterpret_cast<const uint8_t*>(&job), sizeof(job));
    std::wstring wide(value.begin(), value.end());
    ASSERT_TRUE(WritePrivateProfileStringW(L"Job Information", L"Param", wide.c_str(), ini.c_str()));
}

// Fills the fields of an open prompt dialog and presses its button; the
// close it posts is handled by the caller's message loop.
void FillAndPress(HWND dialog)
{
    if (GetDlgItem(dialog, IDC_SEC_OK)) {
        SetDlgItemTextW(dialog, IDC_SEC_ID, L"4711");
        SetDlgItemTextW(dialog, IDC_SEC_PASSWORD, L"pass-1");
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_SEC_OK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_SEC_OK)));
        return;
    }
    SetDlgItemTextW(dialog, IDC_ACT_NAME, L"ana");
    SetDlgItemTextW(dialog, IDC_ACT_PASSWORD, L"secret");
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ACT_OK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ACT_OK)));
}

BOOL CALLBACK FindPrompt(HWND window, LPARAM found)
{
    if (GetDlgItem(window, IDC_SEC_OK) || GetDlgItem(window, IDC_ACT_OK)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// The timer that plays the user of a modal prompt: it fires inside the
// dialog's own message loop.
VOID CALLBACK AnswerPrompt(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindPrompt, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog)
        return;
    KillTimer(nullptr, timer);
    FillAndPress(dialog);
}

// A prompt's surroundings: a status exchange file for its answer and a
// printer in the spooler stand-in for the values it stores.
class PromptEnv {
public:
    PromptEnv()
    {
        std::wstring status = dir_.File(L"StatusMonitorV3.ini");
        InitProcessValues(status.c_str());
        SpoolPrinterSeed printer;
        printer.name = kPrinter;
        spool_.AddPrinter(printer);
        wcsncpy(g_szTargetPrinter, kPrinter, kTextUnits - 1);
        g_Language = 0;
    }
    SpoolSandbox& Spool() { return spool_; }

private:
    ScratchDir dir_;
    SpoolSandbox spool_;
};

} // namespace

TEST(Leaks, StatusDialogRefreshOfTwelveItems)
{
    MonitorEnv env;
    constexpr int kRemakeEvery = 25;
    int unshown = 0;
    ExpectFlat("status dialog refresh", LeakRounds(120), [&](int i) {
        const int* list = i % 2 ? kListB : kListA;
        int count = kMaxShownItems - (i / 2) % 3;  // 12, 11 or 10 items
        // Now and then the dialog goes, by each of its ways out in turn, and
        // is made anew by the next list.
        if (i % kRemakeEvery == 0 && g_hStatusDlg) {
            const int ways[] = {0, IDC_DELETE, IDC_CONTINUE};
            int way = ways[(i / kRemakeEvery) % 3];
            if (way)
                SendMessageW(g_hStatusDlg, WM_COMMAND, MAKEWPARAM(way, BN_CLICKED), 0);
            else
                SendMessageW(g_hStatusDlg, WM_CLOSE, 0, 0);
        }
        if (SM_ShowPrinterStatus(g_hMonitorWnd, list, count) != 1 || !g_hStatusDlg) {
            ++unshown;
            return;
        }
        // Twelve items fill every slot, the last one included.
        if (count == kMaxShownItems && GetWindowTextLengthW(GetDlgItem(g_hStatusDlg, IDC_SLOT_LAST)) == 0)
            ++unshown;
        SM_DrawMsgItem();
        RedrawWindow(g_hStatusDlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages();
    }, [](int i) {
        if (i % kRemakeEvery == 0)
            MakeBareDialog(IDD_STATUS);
    });
    EXPECT_EQ(unshown, 0);
}

TEST(Leaks, DrawImageIntoAMemoryContext)
{
    InitProcessValues();
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, kPictureSize, kPictureSize);
    HGDIOBJ old = SelectObject(memory, canvas);
    int wrong = 0;
    ExpectFlat("SM_DrawImage", LeakRounds(400), [&](int) {
        wrong += SM_DrawImage(memory, 0, 0, IDB_UPPER, IDB_UPPER_MASK, SRCINVERT) != 1;
        wrong += SM_DrawImage(memory, 0, 0, IDB_LOWER_DUPLEX, IDB_LOWER_MASK, SRCINVERT) != 1;
        wrong += SM_DrawImage(memory, 0, 0, 4242, IDB_UPPER_MASK, SRCINVERT) != 1;  // mask only
        wrong += SM_DrawImage(memory, 0, 0, IDB_UPPER, 4242, SRCINVERT) != 0;       // no mask
    });
    EXPECT_EQ(wrong, 0);
    SelectObject(memory, old);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

TEST(Leaks, WatermarkJobOnEveryPath)
{
    InitProcessValues();
    ScratchDir scratch;
    std::wstring bmp = scratch.File(L"wm.bmp");
    std::wstring good = scratch.File(L"good.ini");
    std::wstring range = scratch.File(L"range.ini");
    std::wstring unwritable = scratch.File(L"unwritable.ini");
    std::wstring missing = scratch.File(L"missing.ini");
    JobWM job = SmallRecord(bmp, 0);
    WriteJobIni(good, job);
    job.wm.wStyle = 4;
    WriteJobIni(range, job);
    job = SmallRecord(scratch.File(L"no\\such\\folder\\wm.bmp"), 0);
    WriteJobIni(unwritable, job);

    const struct {
        const std::wstring* ini;
        int result;
    } steps[] = {{&good, 1}, {&range, WM_RANGE_ERROR}, {&unwritable, -5}, {&missing, 0}};
    int wrong = 0;
    ExpectFlat("watermark job", LeakRounds(200), [&](int) {
        for (const auto& step : steps)
            wrong += SM_CreateTextBMPUsingIni_New(step.ini->c_str()) != step.result;
    });
    EXPECT_EQ(wrong, 0);
}

// Each round draws a cover page form of another paper size, or the "From:"
// line, into a small fax page through the bitmap job.
TEST(Leaks, FaxPageJobWithEachForm)
{
    InitProcessValues();
    std::wstring docs = CommonDocumentsDir();
    ASSERT_FALSE(docs.empty());
    std::wstring settingsFile = docs + L"str.ini";
    std::wstring coverFile = docs + L"cover.ini";
    std::vector<unsigned char> message = Utf16File(L"Please call back.\r\nThank you\r\n");
    ASSERT_TRUE(WriteAllBytes(coverFile, message.data(), message.size()));
    const std::wstring kSender = L"[SenderInformation]\r\nName=Ana Ruiz\r\nCom=Office\r\nTel=123\r\n";
    const std::vector<unsigned char> settings[] = {
        Utf16File(L"[DataForSM]\r\nPaperSize=9\r\nenableCoverPage=1\r\nYres=196\r\n" + kSender),
        Utf16File(L"[DataForSM]\r\nPaperSize=12\r\nenableCoverPage=1\r\nYres=196\r\n" + kSender),
        Utf16File(L"[DataForSM]\r\nPaperSize=8\r\nenableCoverPage=1\r\nYres=98\r\n" + kSender),
        Utf16File(L"[DataForSM]\r\nPaperSize=9\r\nenableCoverPage=2\r\nYres=196\r\n" + kSender),
    };

    ScratchDir scratch;
    std::wstring ini = scratch.File(L"fax.ini");
    WriteJobIni(ini, SmallRecord(scratch.File(L"fax.bmp"), WM_DRIVER_FAX));
    int wrong = 0;
    ExpectFlat("fax page job", LeakRounds(120), [&](int i) {
        const std::vector<unsigned char>& s = settings[i % 4];
        WriteAllBytes(settingsFile, s.data(), s.size());
        wrong += SM_CreateTextBMPUsingIni_New(ini.c_str()) != 1;
    });
    EXPECT_EQ(wrong, 0);
    DeleteFileW(settingsFile.c_str());
    DeleteFileW(coverFile.c_str());
}

TEST(Leaks, PromptDialogsFilledAndClosed)
{
    PromptEnv env;
    int unclosed = 0;
    ExpectFlat("prompt dialogs", LeakRounds(20), [&](int i) {
        g_SecurityType = 1 + i % 2;
        for (int resource : {IDD_SECURE, IDD_ACCOUNTING}) {
            DLGPROC proc = resource == IDD_SECURE ? Secure_DlgProc : Accounting_DlgProc;
            HWND dialog = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(resource), nullptr, proc, 0);
            if (!dialog) {
                ++unclosed;
                continue;
            }
            FillAndPress(dialog);
            PumpMessages();
            // A modeless dialog is only hidden by EndDialog.
            unclosed += IsWindowVisible(dialog) != FALSE;
            DestroyWindow(dialog);
        }
    }, [](int) {
        MakeBareDialog(IDD_SECURE);
        MakeBareDialog(IDD_ACCOUNTING);
    });
    EXPECT_EQ(unclosed, 0);
    EXPECT_FALSE(env.Spool().Calls(L"SetPrinterData").empty());
}

// The way the program shows them: modal, answered by a timer standing in
// for the user.
TEST(Leaks, ModalPromptDialogsAnsweredByATimer)
{
    PromptEnv env;
    int unanswered = 0;
    ExpectFlat("modal prompt dialogs", LeakRounds(20), [&](int i) {
        g_SecurityType = 1 + i % 2;
        SetTimer(nullptr, 0, 1, AnswerPrompt);
        unanswered += DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(IDD_SECURE), nullptr, Secure_DlgProc, 0) != 1;
        SetTimer(nullptr, 0, 1, AnswerPrompt);
        unanswered += DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(IDD_ACCOUNTING), nullptr, Accounting_DlgProc, 0) != 1;
    }, [](int) {
        MakeBareDialog(IDD_SECURE);
        MakeBareDialog(IDD_ACCOUNTING);
    });
    EXPECT_EQ(unanswered, 0);
}
