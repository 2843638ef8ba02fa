#include "prompts/prompt_dialog.h"

#include <imm.h>

#include "common/handle_guards.h"
#include "common/printers.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/utf16.h"
#include "common/work_area.h"
#include "monitor/status_file.h"
#include "prompts/check_string.h"
#include "prompts/prompt_texts.h"

namespace {

// Integer division truncates toward zero, as the centring needs; a dialog
// larger than the desktop is put at the edge rather than off it.
int CentredOrigin(LONG desktopEdge, LONG clientEdge)
{
    int origin = static_cast<int>((desktopEdge - clientEdge) / 2);
    return origin < 0 ? 0 : origin;
}

} // namespace

void MISC_PlacePromptDialog(HWND dialog)
{
    RECT desktop = {};
    RECT client = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetClientRect(dialog, &client);
    POINT centred = {CentredOrigin(desktop.right, client.right), CentredOrigin(desktop.bottom, client.bottom)};
    // Centred by its client area, a dialog may still reach past the bottom
    // or right of the work area by its frame, or not fit at all.
    POINT place = MISC_WorkAreaOrigin(dialog, centred);
    SetWindowPos(dialog, HWND_TOPMOST, place.x, place.y, 0, 0, SWP_NOSIZE);

    HMENU systemMenu = GetSystemMenu(dialog, FALSE);
    if (systemMenu)
        DeleteMenu(systemMenu, SC_MOVE, MF_BYCOMMAND);

    SetForegroundWindow(dialog);
    SetActiveWindow(dialog);
}

void MISC_ResetPromptField(HWND dialog, int id, int maxUnits)
{
    SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, static_cast<WPARAM>(maxUnits), 0);
    SetDlgItemTextW(dialog, id, L"");
    // Every prompt field takes ASCII only. A Chinese IME in its native mode,
    // the default for the users these prompts speak to, would turn the
    // keystrokes into Chinese characters that the character rule then
    // throws away; with no input context the keys arrive as typed.
    ImmAssociateContext(GetDlgItem(dialog, id), nullptr);
}

void MISC_CheckPromptField(HWND dialog, int id, unsigned kind, WCHAR (&last)[kTextUnits])
{
    WCHAR text[kTextUnits] = L"";
    GetDlgItemTextW(dialog, id, text, kTextUnits);
    size_t length = MISC_TextLength(U16(text), kTextUnits);
    if (MISC_CheckString(text, static_cast<unsigned>(length), kind)) {
        // The whole buffer is cleared first: it goes to the driver at its full
        // size, so nothing of a longer earlier text may linger after the end.
        MISC_WipePromptText(last);
        MISC_CopyText(U16(last), kTextUnits, U16View(text, length));
    } else {
        SetDlgItemTextW(dialog, id, last);
        SendDlgItemMessageW(dialog, id, EM_SETSEL, 0, -1);
        SendDlgItemMessageW(dialog, id, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    }
    SecureZeroMemory(text, sizeof(text));
}

void MISC_SetPromptTexts(HWND dialog, const int* ids, const int* rows, int count)
{
    for (int i = 0; i < count; ++i)
        SetDlgItemTextW(dialog, ids[i], W16(SM_PromptText(rows[i], g_Language)));
}

void MISC_WritePromptAlive()
{
    SM_WriteStatusKey(kKeyMessage, L"1028");
}

HANDLE MISC_OpenTargetPrinter(PromptFailure* why)
{
    if (!MISC_IsListedPrinterW(g_szTargetPrinter)) {
        *why = PromptFailure::kNoPrinter;
        return nullptr;
    }
    HANDLE printer = nullptr;
    DWORD error = 0;
    for (DWORD access : kManageRights) {
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, access};
        if (OpenPrinterW(g_szTargetPrinter, &printer, &defaults))
            return printer;
        error = GetLastError();
        TRACE_TagError(L"MISC_OpenTargetPrinter", L"OpenPrinter %ls access 0x%lx fail! rc = %lu", g_szTargetPrinter,
                       access, error);
        if (error != ERROR_ACCESS_DENIED)
            break;
    }
    *why = error == ERROR_ACCESS_DENIED ? PromptFailure::kRefused : PromptFailure::kNoPrinter;
    return nullptr;
}

PromptValue MISC_PromptText(const wchar_t* name, const WCHAR (&buffer)[kTextUnits])
{
    return {name, REG_SZ, buffer, sizeof(buffer)};
}

int MISC_StorePromptAnswers(const PromptValue* values, int count, PromptFailure* why)
{
    HANDLE opened = MISC_OpenTargetPrinter(why);
    if (!opened)
        return 0;
    ScopedPrinter printer(opened);
    for (int i = 0; i < count; ++i) {
        MISC_DebugPrint(L"SetPrinterData %ls", values[i].name);
        DWORD rc = SetPrinterDataW(printer.Get(), const_cast<WCHAR*>(values[i].name), values[i].type,
                                   static_cast<BYTE*>(const_cast<void*>(values[i].data)), values[i].size);
        if (rc == ERROR_SUCCESS)
            continue;
        TRACE_TagError(L"SetPrinterData", L"set %ls fail! rc = %lu", values[i].name, rc);
        *why = rc == ERROR_ACCESS_DENIED ? PromptFailure::kRefused : PromptFailure::kNotTaken;
        for (int stored = 0; stored < i; ++stored) {
            rc = DeletePrinterDataW(printer.Get(), const_cast<WCHAR*>(values[stored].name));
            if (rc != ERROR_SUCCESS)
                TRACE_TagError(L"DeletePrinterData", L"delete %ls fail! rc = %lu", values[stored].name, rc);
        }
        return 0;
    }
    return 1;
}

void MISC_ReportAnswersNotHanded(HWND dialog, PromptFailure why)
{
    WCHAR title[kTextUnits] = L"";
    GetWindowTextW(dialog, title, kTextUnits);
    std::u16string text = SM_PromptFailureText(why, g_Language);
    MessageBoxW(dialog, W16(text.c_str()), title, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

void MISC_WipePromptText(WCHAR (&buffer)[kTextUnits])
{
    SecureZeroMemory(buffer, sizeof(buffer));
}
