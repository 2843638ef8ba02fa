#include "monitor/monitor_window.h"

#include "common/globals.h"
#include "common/trace.h"

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        g_UICodePage = static_cast<int>(GetPrivateProfileIntW(L"string", L"codepage", 0, g_szUIFile));
        SetTimer(window, kMonitorTimerId, kMonitorTimerMs, nullptr);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_DESTROY:
        KillTimer(window, kMonitorTimerId);
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
