#include "testkit/wine_test.h"

#include <cstdio>

#include "common/globals.h"
#include "common/paths.h"

std::wstring TestBinDir()
{
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    return dir.substr(0, dir.rfind(L'\\') + 1);
}

std::wstring BesideTest(const wchar_t* fileName)
{
    return TestBinDir() + fileName;
}

std::wstring CommonDocumentsDir()
{
    wchar_t path[MAX_PATH];
    DWORD saved = OsVersionCode;
    OsVersionCode = SM_GetOsVersionCode();
    int ok = MISC_GetPathName(path, MAX_PATH, PATH_USER_TEMP);
    OsVersionCode = saved;
    return ok ? std::wstring(path) : std::wstring();
}

void InitProcessValues(const wchar_t* statusFile)
{
    g_hInstance = GetModuleHandleW(nullptr);
    wcscpy(g_szModuleName, L"mfpsm");
    wcscpy(g_szUIFile, L"smen.ini");
    OsVersionCode = SM_GetOsVersionCode();
    if (statusFile)
        wcsncpy(g_szStatusFile, statusFile, kTextUnits - 1);
}

ChildProcess::ChildProcess(const std::wstring& commandLine)
{
    std::wstring line = commandLine;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    // Wine has been seen to refuse a start now and then on a loaded machine;
    // the program under test is not involved yet, so a start is tried again.
    constexpr int kAttempts = 3;
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            break;
        DWORD error = GetLastError();
        fwprintf(stderr, L"testkit: starting %ls failed (error %lu, attempt %d)\n", commandLine.c_str(), error, attempt);
        if (attempt == kAttempts)
            return;
        line = commandLine;
        Sleep(200);
    }
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    id_ = pi.dwProcessId;
}

ChildProcess::~ChildProcess()
{
    if (!process_)
        return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

int ChildProcess::Wait(DWORD timeoutMs)
{
    if (!process_)
        return -1;
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
        fwprintf(stderr, L"testkit: process %lu did not end within %lu ms\n", id_, timeoutMs);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return static_cast<int>(code);
}

bool ChildProcess::Running() const
{
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

int RunBeside(const wchar_t* program, const std::wstring& args, DWORD timeoutMs)
{
    ChildProcess child(L"\"" + BesideTest(program) + L"\" " + args);
    return child.Wait(timeoutMs);
}

HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowW(className, title);
        if (window || GetTickCount() - start >= timeoutMs)
            return window;
        PumpMessages(20);
    }
}

namespace {

struct FoundDialog {
    DWORD process;
    HWND window;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM lParam)
{
    auto* found = reinterpret_cast<FoundDialog*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[16] = L"";
    GetClassNameW(window, className, 16);
    if (process != found->process || wcscmp(className, L"#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    found->window = window;
    return FALSE;
}

} // namespace

HWND WaitForDialogOf(const ChildProcess& child, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        FoundDialog found = {child.Id(), nullptr};
        EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&found));
        if (found.window)
            return found.window;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs && child.Running());
    return nullptr;
}

bool WaitForNoWindow(const wchar_t* className, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (FindWindowW(className, nullptr)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        PumpMessages(20);
    }
    return true;
}

bool TickMonitorTwice()
{
    constexpr UINT_PTR kMonitorTimer = 1;
    constexpr UINT kAnswerMs = 10000;
    HWND monitor = FindWindowW(L"mfpsm", nullptr);
    for (int tick = 0; tick < 2; ++tick) {
        DWORD_PTR result = 0;
        if (!monitor || !SendMessageTimeoutW(monitor, WM_TIMER, kMonitorTimer, 0, SMTO_ABORTIFHUNG, kAnswerMs, &result))
            return false;
    }
    return true;
}

void PumpMessages(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

ScratchDir::ScratchDir()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static LONG counter = 0;
    wchar_t name[64];
    // Process ids come again, and a test that was killed leaves its folder:
    // such a folder is passed over, never reused with what it holds.
    do {
        swprintf(name, 64, L"mfpsm-test-%lu-%ld\\", GetCurrentProcessId(), InterlockedIncrement(&counter));
        path_ = std::wstring(temp) + name;
    } while (!CreateDirectoryW(path_.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
}

ScratchDir::~ScratchDir()
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path_ + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name != L"." && name != L"..")
                DeleteFileW((path_ + name).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path_.c_str());
}

std::vector<unsigned char> ReadAllBytes(const std::wstring& path)
{
    std::vector<unsigned char> bytes;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return bytes;
    unsigned char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    fclose(file);
    return bytes;
}

bool WriteAllBytes(const std::wstring& path, const void* data, size_t size)
{
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    bool ok = fwrite(data, 1, size, file) == size;
    return fclose(file) == 0 && ok;
}

std::vector<unsigned char> Utf16File(const std::wstring& text)
{
    std::vector<unsigned char> bytes = {0xFF, 0xFE};
    for (wchar_t c : text) {
        bytes.push_back(static_cast<unsigned char>(c & 0xFF));
        bytes.push_back(static_cast<unsigned char>(c >> 8));
    }
    return bytes;
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadRegDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD* value)
{
    DWORD size = sizeof(*value);
    return RegGetValueW(root, key, name, RRF_RT_REG_DWORD, nullptr, value, &size) == ERROR_SUCCESS;
}

bool ReadRegString(HKEY root, const wchar_t* key, const wchar_t* name, std::wstring* value)
{
    wchar_t data[1024];
    DWORD size = sizeof(data);
    if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return false;
    *value = data;
    return true;
}

void DeleteRegTree(HKEY root, const wchar_t* key)
{
    RegDeleteTreeW(root, key);
    RegDeleteKeyW(root, key);
}

std::string RunCapture(const std::wstring& commandLine, DWORD timeoutMs, int* exitCode)
{
    *exitCode = -1;
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return {};
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    std::wstring line = commandLine;
    BOOL started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                  nullptr, &si, &pi);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char chunk[4096];
        DWORD n;
        while (ReadFile(readEnd, chunk, sizeof(chunk), &n, nullptr) && n > 0)
            output.append(chunk, n);
        if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(pi.hProcess, &code);
            *exitCode = static_cast<int>(code);
        } else {
            TerminateProcess(pi.hProcess, 99);
        }
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(readEnd);
    return output;
}

BITMAPINFO TopDownRgb32(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}
