#include "display/window_dpi.h"

#include "display/status_items.h"

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// Looked up at run time: importing it would keep the program from starting
// on systems before Windows 10.
GetDpiForWindowFn DpiForWindowFunction()
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32)
        return nullptr;
    return reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
}

int ScreenDpi(HWND window)
{
    HDC dc = GetDC(window);
    if (!dc)
        return 0;
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return dpi;
}

} // namespace

int SM_WindowDpi(HWND window)
{
    GetDpiForWindowFn dpiForWindow = DpiForWindowFunction();
    int dpi = dpiForWindow ? static_cast<int>(dpiForWindow(window)) : 0;
    if (dpi <= 0)
        dpi = ScreenDpi(window);
    return dpi > 0 ? dpi : kBaseDpi;
}
