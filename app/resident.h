// The resident monitor: one hidden window per window class and its message loop.
#pragma once

#include <windows.h>

// Becomes the resident monitor unless one runs already. Returns the exit code:
// 0 when another monitor exists or the window cannot be made, else the quit
// message's wParam once the message loop has ended.
int SM_RunResident();

// Creates the hidden monitor window of class g_szModuleName with its system
// menu stripped, and keeps it in g_hMonitorWnd; null when that fails.
HWND SM_CreateMonitorWindow();

// Gets and dispatches messages until the quit message; the status dialog, while
// it exists, sees every message first for keyboard navigation.
int SM_MessageLoop();
