#include "display/status_dialog.h"

#include "common/globals.h"
#include "common/os_version.h"
#include "common/trace.h"
#include "common/work_area.h"
#include "common/utf16.h"
#include "display/message_table.h"
#include "display/message_text.h"
#include "display/status_draw.h"
#include "display/window_dpi.h"
#include "monitor/monitor_window.h"
#include "monitor/spooler.h"
#include "monitor/status_file.h"
#include "resources/resource.h"

namespace {

constexpr int kCaptionUnits = 520;

// Dialog 102's template: its size in dialog units and its font.
constexpr SIZE kStatusDialogUnits = {340, 234};
constexpr const wchar_t* kStatusDialogFace = L"Courier New";
constexpr int kStatusDialogPoints = 10;
constexpr POINT kLogoUnits = {10, 204};  // the logo's place in the template

#ifndef WM_GETDPISCALEDSIZE
#define WM_GETDPISCALEDSIZE 0x02E4
#endif

bool LetsJobContinue(int firstCode)
{
    for (int code : kContinueCodes) {
        if (code == firstCode)
            return true;
    }
    return false;
}

void SetCaptions(HWND dialog)
{
    WCHAR group[kCaptionUnits], deleteText[kCaptionUnits], continueText[kCaptionUnits];
    SM_GetUIText(W16(kGroupCaption.key), W16(kGroupCaption.text), group, kCaptionUnits);
    SM_GetUIText(W16(kDeleteCaption.key), W16(kDeleteCaption.text), deleteText, kCaptionUnits);
    SM_GetUIText(W16(kContinueCaption.key), W16(kContinueCaption.text), continueText, kCaptionUnits);
    SetWindowTextW(dialog, kMonitorTitle);
    SetDlgItemTextW(dialog, IDC_GROUP, group);
    SetDlgItemTextW(dialog, IDC_DELETE, deleteText);
    SetDlgItemTextW(dialog, IDC_CONTINUE, continueText);
}

void FocusButtons(HWND dialog, int firstCode)
{
    HWND continueButton = GetDlgItem(dialog, IDC_CONTINUE);
    if (LetsJobContinue(firstCode)) {
        ShowWindow(continueButton, SW_SHOW);
        SetFocus(continueButton);
        return;
    }
    ShowWindow(continueButton, SW_HIDE);
    SetFocus(GetDlgItem(dialog, IDC_DELETE));
}

void OnContinue()
{
    if (SM_WriteStatusKey(kKeyContinuePrint, L"1")) {
        SM_CloseSM(kCloseDelayMs, FALSE);
        return;
    }
    // The write may have landed although the profile call reported failure.
    if (SM_ReadStatusInt(kSectionPrinter, kKeyContinuePrint, 0) == 1)
        SM_CloseSM(kCloseDelayMs, FALSE);
}

// The dialog paints its background, then its controls are brought up to
// date, then the pictures and items go on top; the slot texts stay.
void OnPaint(HWND dialog)
{
    PAINTSTRUCT ps;
    if (BeginPaint(dialog, &ps))
        EndPaint(dialog, &ps);
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    SM_RedrawMsgItems();
}

// The dialog opens at its display's DPI: pictures and items are drawn at that
// scale and the logo shown for it. The dialog stays where the template puts
// it unless that leaves part of it outside the work area of its monitor.
void OnInitDialog(HWND dialog)
{
    g_StatusDlgDpi = SM_WindowDpi(dialog);
    SM_ShowStatusLogo(dialog, g_StatusDlgDpi);
    SM_KeepOwnDpiLayout(dialog, SM_StatusLogoControl(dialog));
    RECT place = {};
    GetWindowRect(dialog, &place);
    POINT inside = MISC_WorkAreaOrigin(dialog, {place.left, place.top});
    if (inside.x != place.left || inside.y != place.top)
        SetWindowPos(dialog, nullptr, inside.x, inside.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The logo control takes the size of its bitmap; its place is the
// template's, in the dialog's font made for the DPI, as the dialog manager
// lays out the other controls.
void PlaceLogo(HWND dialog, int dpi)
{
    HWND logo = SM_StatusLogoControl(dialog);
    SIZE base = SM_DialogBaseUnits(kStatusDialogFace, kStatusDialogPoints, dpi);
    if (!logo || base.cx <= 0 || base.cy <= 0)
        return;
    SetWindowPos(logo, nullptr, MulDiv(kLogoUnits.x, base.cx, 4), MulDiv(kLogoUnits.y, base.cy, 8), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Windows would scale the window linearly; the dialog manager lays the
// dialog out anew in its font made for the new DPI, whose letters do not
// grow in step, so the window gets the size of that layout.
BOOL OnGetDpiScaledSize(HWND dialog, WPARAM wParam, SIZE* size)
{
    SIZE scaled = SM_StatusDialogSizeAt(dialog, static_cast<int>(wParam));
    if (scaled.cx <= 0 || scaled.cy <= 0)
        return FALSE;
    *size = scaled;
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

// Moved to a display of another scaling: take the place the system suggests
// (its size is the one answered to WM_GETDPISCALEDSIZE), the pictures and
// logo of the new scale, and draw everything again. The window is sized
// here only and the logo placed here only: the dialog manager was told to
// leave both alone (SM_KeepOwnDpiLayout); it still gives the other controls
// their new font and place.
void OnDpiChanged(HWND dialog, WPARAM wParam, const RECT* suggested)
{
    g_StatusDlgDpi = HIWORD(wParam);
    SetWindowPos(dialog, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    SM_ShowStatusLogo(dialog, g_StatusDlgDpi);
    PlaceLogo(dialog, g_StatusDlgDpi);
    InvalidateRect(dialog, nullptr, TRUE);
}

} // namespace

SIZE SM_StatusDialogSizeAt(HWND dialog, int dpi)
{
    SIZE base = SM_DialogBaseUnits(kStatusDialogFace, kStatusDialogPoints, dpi);
    SIZE client = {MulDiv(kStatusDialogUnits.cx, base.cx, 4), MulDiv(kStatusDialogUnits.cy, base.cy, 8)};
    if (client.cx <= 0 || client.cy <= 0)
        return {0, 0};
    return SM_WindowSizeAround(dialog, client, dpi);
}

bool SM_IsShownList(const int* list)
{
    for (int i = 0; i < kMaxErrCodes; ++i) {
        if (list[i] != g_PrevErrCodes[i])
            return false;
    }
    return true;
}

void SM_ForgetShownList()
{
    for (int& code : g_PrevErrCodes)
        code = 0;
    g_ShownJobID = 0;
}

int SM_ShowPrinterStatus(HWND owner, const int* list, int count)
{
    ScopedTrace trace(kTraceProgress, L"SM_ShowPrinterStatus");
    if (SM_ReadKeptInt(kSectionPrinter, kKeyShowSM, 1) == 0)
        return 1;
    if (SM_IsShownList(list))
        return 1;
    SM_MarkStatusItems(g_StatusItems, list, count);
    if (g_hStatusDlg) {
        ShowWindow(g_hMonitorWnd, SW_HIDE);
    } else {
        g_hStatusDlg = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_STATUS), owner, MsgDlgProc, 0);
        if (!g_hStatusDlg) {
            TRACE_TagError(L"SM_ShowPrinterStatus", L"CreateDialog fail!");
            return 0;
        }
    }
    HWND dialog = g_hStatusDlg;
    SetCaptions(dialog);
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(dialog, SW_SHOW);
    SM_DrawMsgItem();
    FocusButtons(dialog, list[0]);
    ShowWindow(g_hMonitorWnd, SW_SHOW);
    SetForegroundWindow(dialog);
    SetActiveWindow(dialog);
    for (int i = 0; i < kMaxErrCodes; ++i)
        g_PrevErrCodes[i] = list[i];
    g_ShownJobID = g_StatusJobID;
    return 1;
}

INT_PTR CALLBACK MsgDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_GETDPISCALEDSIZE:
        return OnGetDpiScaledSize(dialog, wParam, reinterpret_cast<SIZE*>(lParam));
    case WM_DPICHANGED:
        OnDpiChanged(dialog, wParam, reinterpret_cast<const RECT*>(lParam));
        return FALSE;  // the dialog manager then scales its font and controls
    case WM_DESTROY:
        SM_ReleaseStatusLogo(dialog);
        return FALSE;
    case WM_PAINT:
        OnPaint(dialog);
        return TRUE;
    case WM_CLOSE:
        SM_CloseSM(kCloseDelayMs, FALSE);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_DELETE:
            // The job of the list shown, not the one the file names now:
            // the driver may have posted a later job since.
            SM_SetPrinterJob(kJobCancel, g_ShownJobID);
            SM_CloseSM(kCloseDelayMs, TRUE);
            return TRUE;
        case IDC_CONTINUE:
            OnContinue();
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

int SM_CloseSM(DWORD delayMs, BOOL reset)
{
    ScopedTrace trace(kTraceProgress, L"SM_CloseSM");
    if (g_hStatusDlg) {
        HWND dialog = g_hStatusDlg;
        g_hStatusDlg = nullptr;
        DestroyWindow(dialog);
    }
    if (delayMs > 0)
        Sleep(delayMs);
    if (!g_hMonitorWnd || !IsWindow(g_hMonitorWnd))
        return 1;
    if (reset) {
        g_MessageResetOwed = !SM_WriteStatusKey(kKeyMessage, L"0");
        SM_ClearSpoolerStatus();
        SM_ForgetShownList();
        g_szStoreName[0] = L'\0';
    }
    if (SM_IsNTFamily(OsVersionCode)) {
        ShowWindow(g_hMonitorWnd, SW_HIDE);
        return 1;
    }
    DestroyWindow(g_hMonitorWnd);
    return 1;
}
