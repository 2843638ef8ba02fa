#include "prompts/accounting_dialog.h"

#include "common/globals.h"
#include "common/trace.h"
#include "common/utf16.h"
#include "prompts/check_rule.h"
#include "prompts/prompt_dialog.h"
#include "prompts/prompt_texts.h"
#include "resources/resource.h"

namespace {

constexpr int kFieldUnits = 28;

bool IsFieldCheck(WORD notification)
{
    return notification == EN_CHANGE || notification == EN_KILLFOCUS;
}

// The title too is set here only, so the dialog has none before its first paint.
void PaintTexts(HWND dialog)
{
    SetWindowTextW(dialog, W16(SM_PromptText(kPromptAccountingTitle, g_Language)));
    static const int ids[] = {IDC_ACT_NAME_LABEL, IDC_ACT_NAME_HINT, IDC_ACT_PASSWORD_LABEL,
                              IDC_ACT_PASSWORD_HINT, IDC_ACT_OK};
    static const int rows[] = {kPromptUserLabel, kPromptUserHint, kPromptActPasswordLabel,
                               kPromptActPasswordHint, kPromptAccountingOk};
    MISC_SetPromptTexts(dialog, ids, rows, 5);
}

// 1 when both answers reached the printer; else 0 with the reason in *why.
int StoreAnswers(PromptFailure* why)
{
    const PromptValue values[] = {
        MISC_PromptText(L"ActName", g_ActIDLast),
        MISC_PromptText(L"ActPWD", g_ActPasswordLast),
    };
    return MISC_StorePromptAnswers(values, 2, why);
}

// Answers that did not reach the printer are not dropped silently: the user
// is told before the end.
BOOL CloseDialog(HWND dialog)
{
    MISC_WritePromptAlive();
    if (g_ActIDLast[0] == L'\0')
        return FALSE;
    if (IsWindowEnabled(GetDlgItem(dialog, IDC_ACT_PASSWORD)) && g_ActPasswordLast[0] == L'\0')
        return FALSE;
    PromptFailure why = PromptFailure::kNoPrinter;
    int stored = StoreAnswers(&why);
    MISC_WipePromptText(g_ActIDLast);
    MISC_WipePromptText(g_ActPasswordLast);
    if (!stored)
        MISC_ReportAnswersNotHanded(dialog, why);
    // The dialog's result is the exit code of the process.
    EndDialog(dialog, stored ? kExitTaskDone : kExitAnswersNotHanded);
    return TRUE;
}

} // namespace

void Accounting_InitDlg(HWND dialog)
{
    SetFocus(GetDlgItem(dialog, IDC_ACT_NAME));
    MISC_ResetPromptField(dialog, IDC_ACT_NAME, kFieldUnits);
    MISC_ResetPromptField(dialog, IDC_ACT_PASSWORD, kFieldUnits);
    MISC_PlacePromptDialog(dialog);
}

BOOL Accounting_CmdProc(HWND dialog, WPARAM wParam, LPARAM)
{
    WORD id = LOWORD(wParam);
    WORD notification = HIWORD(wParam);
    switch (id) {
    case IDC_ACT_NAME:
        if (IsFieldCheck(notification))
            MISC_CheckPromptField(dialog, IDC_ACT_NAME, kCheckIdText, g_ActIDLast);
        break;
    case IDC_ACT_PASSWORD:
        if (IsFieldCheck(notification))
            MISC_CheckPromptField(dialog, IDC_ACT_PASSWORD, kCheckPrintableAscii, g_ActPasswordLast);
        break;
    case IDC_ACT_OK:
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
    return TRUE;
}

INT_PTR CALLBACK Accounting_DlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    ScopedTrace trace(kTraceProgress, L"Accounting_DlgProc");
    switch (message) {
    case WM_INITDIALOG:
        Accounting_InitDlg(dialog);
        return FALSE;
    case WM_PAINT:
        PaintTexts(dialog);
        return FALSE;
    case WM_COMMAND:
        return Accounting_CmdProc(dialog, wParam, lParam);
    case WM_CLOSE:
        return CloseDialog(dialog);
    default:
        return FALSE;
    }
}
