// Accounting dialog (resource 108): asks for the user name and password of
// user authentication and hands them to the driver as the printer data
// values "ActName" and "ActPWD".
#pragma once

#include <windows.h>

INT_PTR CALLBACK Accounting_DlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void Accounting_InitDlg(HWND dialog);
BOOL Accounting_CmdProc(HWND dialog, WPARAM wParam, LPARAM lParam);
