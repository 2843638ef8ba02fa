#include "monitor/monitor_window.h"

#include "common/globals.h"
#include "common/trace.h"
#include "display/status_dialog.h"
#include "monitor/spooler.h"
#include "monitor/status_file.h"

namespace {

constexpr int kCancelJobCode = 117;
constexpr int kRestartJobCode = 118;

void TakeNewStatus(HWND window)
{
    int lastMsg = SM_ReadStatusInt(kSectionPrinter, kKeyLastMsg, 0);
    if (lastMsg == 0 || lastMsg == g_LastMsgCounter)
        return;
    g_LastMsgCounter = lastMsg;
    int list[kMaxErrCodes] = {};
    int count = 0;
    GetErrCode(list, &count);
    // The job is read once, with its list: the driver writes the next
    // status's "JobID" first, maybe while this list's commands still run.
    g_StatusJobID = SM_ReadJobID();
    // An empty list changes nothing: a shown dialog stays as it is.
    if (count == 0)
        return;
    // The same list again is the driver's status of now, though the dialog
    // need not change: its job is the one Delete acts on from now on.
    if (SM_IsShownList(list)) {
        g_ShownJobID = g_StatusJobID;
        return;
    }
    SM_SetSMStatus(window, list, count);
}

// The close of a 1026 is done; only its "Message" = 0 is missing. Doing
// the whole close again on every tick would repeat the spooler calls (each a
// network round trip on a printer connection) and the close delay four times
// a second for as long as the file refuses the write.
void RetryMessageReset()
{
    if (SM_WriteStatusKey(kKeyMessage, L"0"))
        g_MessageResetOwed = 0;
}

} // namespace

void SM_MonitorTick(HWND window)
{
    SM_RetryOwedSpoolerStatus();
    const int message = SM_ReadStatusInt(kSectionPrinter, kKeyMessage, 0);
    // Anything but 1026 is the driver's word: the reset is no longer owed.
    if (message != WM_SM_EXIT)
        g_MessageResetOwed = 0;
    switch (message) {
    case WM_SM_EXIT:
        if (g_MessageResetOwed && !g_hStatusDlg) {
            RetryMessageReset();
            break;
        }
        SM_ForgetShownList();
        SM_CloseSM(kCloseDelayMs, TRUE);
        break;
    case WM_SM_PSTATUS:
        TakeNewStatus(window);
        break;
    default:
        break;
    }
}

int SM_SetSMStatus(HWND window, const int* list, int count)
{
    ScopedTrace trace(kTraceProgress, L"SM_SetSMStatus");
    SM_ForgetOwedSpoolerStatus();
    bool jobCommandDone = false;
    for (int i = 0; i < count; ++i) {
        if (list[i] == kCancelJobCode && SM_SetPrinterJob(kJobCancel, g_StatusJobID))
            jobCommandDone = true;
        else if (list[i] == kRestartJobCode && SM_SetPrinterJob(kJobRestart, g_StatusJobID))
            jobCommandDone = true;
    }
    if (jobCommandDone)
        return 1;
    SM_SetSpoolerStatusByCode(list[0]);
    SM_ShowPrinterStatus(window, list, count);
    return 1;
}

void SM_EndSession(HWND window)
{
    ScopedTrace trace(kTraceProgress, L"SM_EndSession");
    KillTimer(window, kMonitorTimerId);
    SM_CloseSM(0, FALSE);
    SM_ClearSpoolerStatus();
}

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        g_UICodePage = static_cast<int>(GetPrivateProfileIntW(L"string", L"codepage", 0, g_szUIFile));
        SetTimer(window, kMonitorTimerId, kMonitorTimerMs, nullptr);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_TIMER:
        SM_MonitorTick(window);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam)
            SM_EndSession(window);
        return 0;
    case WM_DESTROY:
        KillTimer(window, kMonitorTimerId);
        SM_ClearSpoolerStatus();
        PostQuitMessage(0);
        return 0;
    case WM_SM_EXIT:
        DestroyWindow(window);
        return 0;
    case WM_SM_PSTATUS:
    case WM_LM_ALIVE:
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
