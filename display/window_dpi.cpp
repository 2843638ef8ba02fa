#include "display/window_dpi.h"

#include <cwchar>

#include "display/status_items.h"

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// The DPI functions of Windows 10 are looked up at run time: importing them
// would keep the program from starting on older systems.
template <typename Fn>
Fn User32Function(const char* name)
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32)
        return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
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

bool SM_KeepOwnDpiLayout(HWND dialog, HWND ownControl)
{
    auto dialogBehavior = User32Function<decltype(&SetDialogDpiChangeBehavior)>("SetDialogDpiChangeBehavior");
    auto controlBehavior =
        User32Function<decltype(&SetDialogControlDpiChangeBehavior)>("SetDialogControlDpiChangeBehavior");
    if (!dialogBehavior || !controlBehavior)
        return false;
    bool kept = dialogBehavior(dialog, DDC_DISABLE_RESIZE, DDC_DISABLE_RESIZE) != FALSE;
    if (ownControl)
        kept = controlBehavior(ownControl, DCDC_DISABLE_RELAYOUT, DCDC_DISABLE_RELAYOUT) != FALSE && kept;
    return kept;
}

int SM_WindowDpi(HWND window)
{
    auto dpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    int dpi = dpiForWindow ? static_cast<int>(dpiForWindow(window)) : 0;
    if (dpi <= 0)
        dpi = ScreenDpi(window);
    return dpi > 0 ? dpi : kBaseDpi;
}

SIZE SM_DialogBaseUnits(const wchar_t* face, int points, int dpi)
{
    LOGFONTW description = {};
    description.lfHeight = -MulDiv(points, dpi, 72);
    description.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(description.lfFaceName, face, LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&description);
    HDC dc = GetDC(nullptr);
    if (!font || !dc) {
        if (font)
            DeleteObject(font);
        if (dc)
            ReleaseDC(nullptr, dc);
        return {0, 0};
    }
    HGDIOBJ old = SelectObject(dc, font);
    // The average width of the 52 letters, rounded, and the text height.
    static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE letters = {};
    TEXTMETRICW metrics = {};
    GetTextExtentPoint32W(dc, kLetters, 52, &letters);
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return {(letters.cx / 26 + 1) / 2, metrics.tmHeight};
}

SIZE SM_WindowSizeAround(HWND window, SIZE client, int dpi)
{
    RECT r = {0, 0, client.cx, client.cy};
    DWORD style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    DWORD exStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
    auto adjustForDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    if (adjustForDpi)
        adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi));
    else
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return {r.right - r.left, r.bottom - r.top};
}
