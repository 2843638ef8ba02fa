// A GUI program for the test of tools/wine-run's output handling: it makes
// Wine start a desktop process as its own child, keeps that desktop in use
// through a second process, and ends while both live on.
//   desktop_user start NAME   creates desktop NAME, opens a window on it (Wine
//                             starts the desktop's explorer.exe as our child,
//                             with our standard error), starts "hold" on it
//                             and ends
//   desktop_user hold NAME    opens a window on desktop NAME and keeps it for
//                             a minute (or until it is killed)
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr DWORD kHoldSeconds = 60;
constexpr DWORD kHolderStartMs = 20000;

// The event the holder sets once its window is open: the desktop stays in
// use after the starter's end only from then on.
std::wstring ReadyEventName(const wchar_t* desktop)
{
    return std::wstring(L"Local\\") + desktop + L"-ready";
}

HWND OpenWindow()
{
    return CreateWindowExW(0, L"STATIC", L"desktop user", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// The id of a running explorer.exe whose parent is this process, or 0.
DWORD ExplorerChild()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    DWORD found = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == GetCurrentProcessId() && _wcsicmp(entry.szExeFile, L"explorer.exe") == 0)
            found = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return found;
}

// Switches this thread, which has no window yet, to the desktop.
bool UseDesktop(HDESK desktop)
{
    return desktop && SetThreadDesktop(desktop);
}

// Starts "hold" for the desktop, its standard streams on NUL so that it
// holds nothing of ours, and waits until its window is open.
bool StartHolder(const wchar_t* desktop)
{
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, ReadyEventName(desktop).c_str());
    if (!ready)
        return false;
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                             OPEN_EXISTING, 0, nullptr);
    if (nul == INVALID_HANDLE_VALUE) {
        CloseHandle(ready);
        return false;
    }
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\" hold " + desktop;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi = {};
    BOOL started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(nul);
    bool open = false;
    if (started) {
        HANDLE waits[] = {ready, pi.hProcess};
        open = WaitForMultipleObjects(2, waits, FALSE, kHolderStartMs) == WAIT_OBJECT_0;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(ready);
    return open;
}

int Start(const wchar_t* name)
{
    if (!UseDesktop(CreateDesktopW(name, nullptr, nullptr, 0, GENERIC_ALL, nullptr))) {
        std::printf("cannot switch to a new desktop (error %lu)\n", GetLastError());
        return 1;
    }
    HWND window = OpenWindow();
    DWORD explorer = ExplorerChild();
    if (!window || !explorer) {
        std::printf("no desktop process was started for this program\n");
        return 1;
    }
    if (!StartHolder(name)) {
        std::printf("cannot start the desktop's second user\n");
        return 1;
    }
    std::printf("desktop process %lu started by this program\n", explorer);
    std::fflush(stdout);
    std::fprintf(stderr, "last line, on standard error\n");
    DestroyWindow(window);
    return 0;
}

int Hold(const wchar_t* name)
{
    if (!UseDesktop(OpenDesktopW(name, 0, FALSE, GENERIC_ALL)))
        return 1;
    HWND window = OpenWindow();
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, ReadyEventName(name).c_str());
    if (!window || !ready)
        return 1;
    SetEvent(ready);
    CloseHandle(ready);
    Sleep(kHoldSeconds * 1000);
    DestroyWindow(window);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && wcscmp(argv[1], L"start") == 0)
        return Start(argv[2]);
    if (argc == 3 && wcscmp(argv[1], L"hold") == 0)
        return Hold(argv[2]);
    std::fprintf(stderr, "usage: desktop_user start|hold NAME\n");
    return 2;
}
