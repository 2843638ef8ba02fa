#include "common/work_area.h"

#include "common/work_area_fit.h"

POINT MISC_WorkAreaOrigin(HWND window, POINT wanted)
{
    RECT r = {};
    if (!GetWindowRect(window, &r))
        return wanted;
    const int width = r.right - r.left, height = r.bottom - r.top;
    // The monitor of the place wanted, not of where the window is now.
    RECT at = {wanted.x, wanted.y, wanted.x + width, wanted.y + height};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromRect(&at, MONITOR_DEFAULTTONEAREST), &monitor))
        return wanted;
    const RECT& w = monitor.rcWork;
    FitPoint origin = MISC_FitToWorkArea({wanted.x, wanted.y}, width, height, {w.left, w.top, w.right, w.bottom});
    return {origin.x, origin.y};
}
