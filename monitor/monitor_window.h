// The hidden monitor window: its procedure polls the status exchange file on
// a 250 ms timer and answers the private messages below.
#pragma once

#include <windows.h>

constexpr UINT WM_SM_EXIT = 1026;     // destroy the monitor window; the process ends
constexpr UINT WM_SM_PSTATUS = 1027;  // answered with 0
constexpr UINT WM_LM_ALIVE = 1028;    // answered with 0

constexpr UINT_PTR kMonitorTimerId = 1;
constexpr UINT kMonitorTimerMs = 250;

constexpr const wchar_t* kMonitorTitle = L"MFP Status Monitor";

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One timer tick: acts on the "Message" word of the status exchange file.
void SM_MonitorTick(HWND window);

// The user's session ends: Windows ends the process after this without a
// WM_DESTROY, so the spooler status this monitor set is cleared now, and a
// shown dialog closed. No tick runs after it, and nothing is written to the
// status exchange file: the driver's state is not the session's business.
void SM_EndSession(HWND window);

// Acts on a new, changed error code list: job commands for 117 and 118 on
// g_StatusJobID first; unless one of them succeeded, the spooler status of
// the first code and the status dialog. Returns 1.
int SM_SetSMStatus(HWND window, const int* list, int count);
