#include "prompts/secure_dialog.h"

#include "common/globals.h"
#include "common/trace.h"
#include "common/utf16.h"
#include "prompts/check_rule.h"
#include "prompts/prompt_dialog.h"
#include "prompts/prompt_texts.h"
#include "resources/resource.h"

namespace {

constexpr int kFieldUnits = 16;

bool IsFieldCheck(WORD notification)
{
    return notification == EN_CHANGE || notification == EN_KILLFOCUS;
}

void PaintTexts(HWND dialog)
{
    static const int ids[] = {IDC_SEC_ID_LABEL, IDC_SEC_ID_HINT, IDC_SEC_PASSWORD_LABEL,
                              IDC_SEC_PASSWORD_HINT, IDC_SEC_REMOVE, IDC_SEC_OK};
    static const int rows[] = {kPromptIdLabel, kPromptIdHint, kPromptPasswordLabel,
                               kPromptPasswordHint, kPromptRemoveFile, kPromptSecureOk};
    MISC_SetPromptTexts(dialog, ids, rows, 6);
}

// The job ID, the password (empty for a storage print) and the check box.
// 1 when all three reached the printer; else 0 with the reason in *why.
int StoreAnswers(HWND dialog, PromptFailure* why)
{
    MISC_DebugPrint(L"Secure: printer is %ls", g_szTargetPrinter);
    DWORD remove = IsDlgButtonChecked(dialog, IDC_SEC_REMOVE) == BST_CHECKED ? 1 : 0;
    const PromptValue values[] = {
        MISC_PromptText(L"SecID", g_JobIDLast),
        MISC_PromptText(L"SecPassWord", g_JobPasswordLast),
        {L"SecRemoveFile", REG_DWORD, &remove, sizeof(remove)},
    };
    return MISC_StorePromptAnswers(values, 3, why);
}

// The close stands only with a job ID, and with a password when the
// password field is in use (security print). Answers that did not reach
// the printer are not dropped silently: the user is told before the end.
BOOL CloseDialog(HWND dialog)
{
    MISC_WritePromptAlive();
    if (g_JobIDLast[0] == L'\0')
        return FALSE;
    if (IsWindowEnabled(GetDlgItem(dialog, IDC_SEC_PASSWORD)) && g_JobPasswordLast[0] == L'\0')
        return FALSE;
    PromptFailure why = PromptFailure::kNoPrinter;
    int stored = StoreAnswers(dialog, &why);
    MISC_WipePromptText(g_JobIDLast);
    MISC_WipePromptText(g_JobPasswordLast);
    if (!stored)
        MISC_ReportAnswersNotHanded(dialog, why);
    // The dialog's result is the exit code of the process.
    EndDialog(dialog, stored ? kExitTaskDone : kExitAnswersNotHanded);
    return TRUE;
}

} // namespace

void Secure_InitDlg(HWND dialog)
{
    SetFocus(GetDlgItem(dialog, IDC_SEC_ID));
    MISC_ResetPromptField(dialog, IDC_SEC_ID, kFieldUnits);
    MISC_ResetPromptField(dialog, IDC_SEC_PASSWORD, kFieldUnits);
    CheckDlgButton(dialog, IDC_SEC_REMOVE, BST_CHECKED);
    MISC_PlacePromptDialog(dialog);
    int titleRow = g_SecurityType == 1 ? kPromptStorageTitle : kPromptSecurityTitle;
    SetWindowTextW(dialog, W16(SM_PromptText(titleRow, g_Language)));
    if (g_SecurityType == 1) {
        EnableWindow(GetDlgItem(dialog, IDC_SEC_PASSWORD), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_SEC_REMOVE), FALSE);
    }
}

BOOL Secure_CmdProc(HWND dialog, WPARAM wParam, LPARAM)
{
    WORD id = LOWORD(wParam);
    WORD notification = HIWORD(wParam);
    switch (id) {
    case IDC_SEC_ID:
        if (IsFieldCheck(notification))
            MISC_CheckPromptField(dialog, IDC_SEC_ID, kCheckIdText, g_JobIDLast);
        break;
    case IDC_SEC_PASSWORD:
        if (IsFieldCheck(notification))
            MISC_CheckPromptField(dialog, IDC_SEC_PASSWORD, kCheckPrintableAscii, g_JobPasswordLast);
        break;
    case IDC_SEC_OK:
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
    return TRUE;
}

INT_PTR CALLBACK Secure_DlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        Secure_InitDlg(dialog);
        return FALSE;
    case WM_PAINT:
        PaintTexts(dialog);
        return FALSE;
    case WM_COMMAND:
        return Secure_CmdProc(dialog, wParam, lParam);
    case WM_CLOSE:
        return CloseDialog(dialog);
    default:
        return FALSE;
    }
}
