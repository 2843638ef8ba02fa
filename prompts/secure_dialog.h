// Secure print dialog (resource 103): asks for the job ID of a storage print,
// or the job ID and password of a security print, and whether the printer is
// to delete the stored file after printing. The answers go to the driver as
// the printer data values "SecID", "SecPassWord" and "SecRemoveFile".
#pragma once

#include <windows.h>

INT_PTR CALLBACK Secure_DlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void Secure_InitDlg(HWND dialog);
BOOL Secure_CmdProc(HWND dialog, WPARAM wParam, LPARAM lParam);
