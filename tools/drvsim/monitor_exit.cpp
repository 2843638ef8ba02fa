// drvsim monitor-exit: sends WM_SM_EXIT to the resident monitor and waits
// until its window is gone.
#include "monitor/monitor_window.h"
#include "tools/drvsim/drvsim.h"

namespace {

constexpr DWORD kWaitMs = 10000;

int MonitorExit(const std::vector<std::wstring>& args)
{
    if (!args.empty())
        return DrvsimFail(L"monitor-exit takes no arguments");
    HWND monitor = FindWindowW(L"mfpsm", nullptr);
    if (!monitor)
        return DrvsimFail(L"no resident monitor (window class mfpsm) is running");
    PostMessageW(monitor, WM_SM_EXIT, 0, 0);
    DWORD start = GetTickCount();
    while (IsWindow(monitor)) {
        if (GetTickCount() - start > kWaitMs)
            return DrvsimFail(L"the monitor did not end within %lu ms", kWaitMs);
        Sleep(20);
    }
    return 0;
}

} // namespace

DRVSIM_COMMAND(monitor_exit, L"monitor-exit", L"(ends the resident monitor with WM_SM_EXIT)", MonitorExit);
