// The modeless "MFP Status Monitor" dialog: the reported errors around two
// pictures of the printer, with Delete and, for some errors, Continue.
#pragma once

#include <windows.h>

constexpr DWORD kCloseDelayMs = 64;
constexpr int kContinueCodes[] = {35, 277};  // a first code that lets the job go on

// Shows or refreshes the dialog for a changed list (unless "ShowSM" is 0),
// whose job is g_StatusJobID. 1, or 0 when the dialog cannot be created.
int SM_ShowPrinterStatus(HWND owner, const int* list, int count);

// True when all 48 entries of list equal the list last shown.
bool SM_IsShownList(const int* list);
// Forgets the list last shown and its job, so that any list shows the
// dialog again.
void SM_ForgetShownList();

// The window size of the dialog laid out at the DPI: its template's dialog
// units in its font made for that DPI, with that DPI's frame. {0, 0} when
// the font cannot be measured.
SIZE SM_StatusDialogSizeAt(HWND dialog, int dpi);

INT_PTR CALLBACK MsgDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Destroys the dialog, waits delayMs, then (with reset) writes "Message" = "0",
// clears the spooler status, the shown list and the store name. On the NT
// family the monitor window is hidden; on the 9x family it is destroyed,
// which ends the process. Returns 1.
int SM_CloseSM(DWORD delayMs, BOOL reset);
