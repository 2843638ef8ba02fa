#include "app/resident.h"

#include <string>

#include "common/globals.h"
#include "common/trace.h"
#include "display/status_dialog.h"
#include "monitor/monitor_window.h"

namespace {

constexpr const wchar_t* kTag = L"SM_RunResident";
constexpr DWORD kStartPauseMs = 200;

// Two "install" starts close together would both find no window during the
// 200 ms pause and both become monitors. A named mutex held from the window
// lookup until the window exists lets the second start find the first window.
class ResidentGate {
public:
    ResidentGate()
    {
        std::wstring name = L"mfpsm.resident.";
        name += g_szModuleName;
        mutex_ = CreateMutexW(nullptr, FALSE, name.c_str());
        if (mutex_)
            WaitForSingleObject(mutex_, INFINITE);
    }
    ~ResidentGate()
    {
        if (!mutex_)
            return;
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }
    ResidentGate(const ResidentGate&) = delete;
    ResidentGate& operator=(const ResidentGate&) = delete;

private:
    HANDLE mutex_ = nullptr;
};

bool RegisterMonitorClass()
{
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = g_hInstance;
    wc.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = g_szModuleName;
    return RegisterClassW(&wc) != 0;
}

} // namespace

HWND SM_CreateMonitorWindow()
{
    HWND window = CreateWindowExW(0, g_szModuleName, kMonitorTitle, WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, g_hInstance, nullptr);
    if (!window) {
        TRACE_TagError(kTag, L"create window fail!");
        return nullptr;
    }
    HMENU menu = GetSystemMenu(window, FALSE);
    for (UINT command : {SC_MOVE, SC_SIZE, SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE})
        DeleteMenu(menu, command, MF_BYCOMMAND);
    g_hMonitorWnd = window;
    TRACE_Tag(kTag, L"HIDE window");
    ShowWindow(window, SW_HIDE);
    return window;
}

int SM_MessageLoop()
{
    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (g_hStatusDlg && IsDialogMessageW(g_hStatusDlg, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int SM_RunResident()
{
    {
        ResidentGate gate;
        if (FindWindowW(g_szModuleName, nullptr)) {
            TRACE_Tag(kTag, L"SM executed");
            return 0;
        }
        TRACE_Tag(kTag, L"not found SM");
        Sleep(kStartPauseMs);
        TRACE_Tag(kTag, L"create WndProc");
        if (!RegisterMonitorClass()) {
            TRACE_TagError(kTag, L"RegisterClass fail!");
            return 0;
        }
        // Without its window the monitor has nothing to poll with: end at once.
        if (!SM_CreateMonitorWindow())
            return 0;
    }
    SM_ForgetShownList();
    return SM_MessageLoop();
}
