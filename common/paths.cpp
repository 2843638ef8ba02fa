#include "common/paths.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "common/globals.h"
#include "common/os_version.h"
#include "common/path_names.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/utf16.h"

namespace {

constexpr const wchar_t* kTag = L"MISC_GetPathName";
constexpr DWORD kCheckAttempts = 5;
constexpr DWORD kRetryPauseMs = 200;
constexpr DWORD kRemoveLimitMs = 2000;
constexpr DWORD kRecheckPauseMs = 500;

// One look at the first two bytes: 1 the mark FF FE, -2 no mark, -1 the
// file cannot be opened.
int LookForMark(const WCHAR* path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    BYTE mark[2] = {0, 0};
    DWORD read = 0;
    BOOL ok = ReadFile(file, mark, sizeof(mark), &read, nullptr);
    CloseHandle(file);
    return ok && read == 2 && mark[0] == 0xFF && mark[1] == 0xFE ? 1 : -2;
}

// Appends a whole suffix or nothing: a cut path would name another file.
bool AppendPath(WCHAR* text, DWORD length, const wchar_t* suffix)
{
    size_t have = wcslen(text);
    size_t add = wcslen(suffix);
    if (have + add >= length)
        return false;
    wcscpy(text + have, suffix);
    return true;
}

bool SetPath(WCHAR* text, DWORD length, std::u16string_view path)
{
    if (path.size() >= length)
        return false;
    MISC_CopyText(U16(text), length, path);
    return true;
}

// GetXxxDirectory results: 0 is failure, a value of length or more means "too small".
bool Fits(UINT result, DWORD length)
{
    return result > 0 && result < length;
}

bool GetBaseDirectory(DWORD high, WCHAR* text, DWORD length)
{
    switch (high) {
    case PATH_USER_TEMP:
        TRACE_Tag(kTag, L"PATH_USER_TEMP");
        if (SM_IsNTFamily(OsVersionCode ? OsVersionCode : SM_GetOsVersionCode()))
            return MISC_ReadCommonDocuments(text, length) != 0;
        if (Fits(GetTempPathW(length, text), length))
            return true;
        TRACE_TagError(kTag, L"get temp path fail!");
        return false;
    case PATH_WINDOW_TEMP:
        TRACE_Tag(kTag, L"PATH_WINDOW_TEMP");
        return Fits(GetWindowsDirectoryW(text, length), length) && MISC_AddBackslash(text, length) &&
               AppendPath(text, length, L"temp\\");
    case PATH_SYSTEM:
        TRACE_Tag(kTag, L"PATH_SYSTEM");
        if (!Fits(GetSystemDirectoryW(text, length), length))
            return false;
        TRACE_Tag(kTag, L"PATH_SYSTEM = %ls", text);
        return true;
    case PATH_WINDOW:
        TRACE_Tag(kTag, L"PATH_WINDOW");
        return Fits(GetWindowsDirectoryW(text, length), length);
    case PATH_CURRENT:
        return Fits(GetCurrentDirectoryW(length, text), length);
    case PATH_DRIVER: {
        TRACE_Tag(kTag, L"PATH_DRIVER");
        WCHAR system[MAX_PATH];
        if (!Fits(GetSystemDirectoryW(system, MAX_PATH), MAX_PATH))
            return false;
        return SetPath(text, length, U16View(system)) && AppendPath(text, length, L"\\spool\\drivers\\w32x86\\3\\");
    }
    case PATH_TEMP:
        return Fits(GetTempPathW(length, text), length);
    default:
        return false;
    }
}

// The mutex object's existence is the lock: whoever created it holds it
// until the handle is closed; everybody else comes back 100 ms later.
HANDLE LockTempNames()
{
    for (;;) {
        TRACE_Tag(kTag, L"CreateMutex");
        HANDLE mutex = CreateMutexW(nullptr, FALSE, L"MISC_GetPathName");
        DWORD error = GetLastError();
        if (mutex && error == ERROR_ALREADY_EXISTS) {
            TRACE_Tag(kTag, L"ERROR_ALREADY_EXISTS, %x", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(mutex)));
        } else if (!mutex && error == ERROR_ACCESS_DENIED) {
            TRACE_Tag(kTag, L"ERROR_ACCESS_DENIED %x", 0u);
        } else {
            return mutex;
        }
        if (mutex)
            CloseHandle(mutex);
        TRACE_Tag(kTag, L"Sleep 100 for next time");
        Sleep(100);
    }
}

std::u16string MakeStamp()
{
    srand(static_cast<unsigned>(time(nullptr)));
    int first = PATH_RandomOneTo99(rand());
    Sleep(10 * static_cast<DWORD>(first));
    srand(GetTickCount());
    int second = PATH_RandomOneTo99(rand());
    SYSTEMTIME now;
    GetLocalTime(&now);
    return PATH_FormatStamp(now.wMinute, now.wSecond, now.wMilliseconds, first, second);
}

// Lets the platform make a unique "$XXXX.tmp" in dir, else in the user's temp directory.
bool UniqueTempName(const WCHAR* dir, WCHAR* name)
{
    if (GetTempFileNameW(dir, L"$", 0, name))
        return true;
    TRACE_TagError(kTag, L"create temp file name fail!");
    WCHAR temp[MAX_PATH];
    if (Fits(GetTempPathW(MAX_PATH, temp), MAX_PATH) && GetTempFileNameW(temp, L"$", 0, name))
        return true;
    TRACE_TagError(kTag, L"create temp file name fail!");
    return false;
}

bool MakeTempFileName(WCHAR* text, DWORD length, DWORD low)
{
    HANDLE mutex = LockTempNames();
    std::u16string stamp = MakeStamp();
    WCHAR name[MAX_PATH];
    bool ok = UniqueTempName(text, name);
    if (ok) {
        // The platform created the file; only its name is wanted.
        if (MISC_FileExists(name))
            MISC_Remove(name);
        std::u16string path = PATH_ApplyStamp(U16View(name), stamp);
        static const struct { DWORD bit; const char16_t* ext; } kExtensions[] = {
            {PATH_EXT_TXT, u".txt"}, {PATH_EXT_BMP, u".bmp"}, {PATH_EXT_SPL, u".spl"}};
        for (const auto& e : kExtensions) {
            if (!(low & e.bit))
                continue;
            if (MISC_FileExists(W16(path.c_str())))
                MISC_Remove(W16(path.c_str()));
            path = PATH_SetExtension(path, e.ext);
        }
        ok = SetPath(text, length, path);
    }
    if (mutex) {
        TRACE_Tag(kTag, L"CloseHandle Mutex");
        CloseHandle(mutex);
    }
    return ok;
}

// Makes sure the status exchange file exists and carries the UTF-16 mark.
// The driver writes the file from another process, so what the check saw
// may be a moment of its rewrite: a file that exists is never emptied
// because it could not be opened, and one without the mark is looked at
// once more before it is made anew.
void EnsureStatusFile(const WCHAR* path)
{
    int check = MISC_CheckUniFile(path);
    if (check >= 0)
        return;
    if (check == -1) {
        if (MISC_FileExists(path))
            TRACE_TagError(kTag, L"%ls exists but can't be opened, left alone", path);
        else
            MISC_CreateUniFile(path);
        return;
    }
    Sleep(kRecheckPauseMs);
    if (LookForMark(path) != -2) {
        TRACE_Tag(kTag, L"%ls changed while it was checked, left alone", path);
        return;
    }
    MISC_Remove(path);
    MISC_CreateUniFile(path);
}

bool AppendFollower(WCHAR* text, DWORD length, DWORD low)
{
    switch (low) {
    case 0:
        return true;
    case PATH_FILE_STATUS_NAME:
        return AppendPath(text, length, kStatusFileName);
    case PATH_FILE_STATUS:
        if (!AppendPath(text, length, kStatusFileName))
            return false;
        EnsureStatusFile(text);
        return true;
    default:
        return MakeTempFileName(text, length, low);
    }
}

} // namespace

int MISC_GetPathName(WCHAR* text, DWORD length, DWORD kind)
{
    ScopedTrace trace(kTraceProgress, L"MISC_GetPathName");
    if (!text || length == 0)
        return 0;
    text[0] = L'\0';
    bool ok = GetBaseDirectory(kind & 0xFFFF0000u, text, length);
    if (ok) {
        MISC_AddBackslash(text, length);
        if (!MISC_DirExists(text)) {
            TRACE_TagError(kTag, L"directory %ls not exist", text);
            ok = false;
        }
    }
    TRACE_Tag(kTag, L"rc = %d", ok ? 1 : 0);
    if (!ok) {
        TRACE_Tag(kTag, L"get directory fail!");
        return 0;
    }
    if (!AppendFollower(text, length, kind & 0xFFFFu))
        return 0;
    TRACE_Tag(kTag, L"pathname = %ls", text);
    return 1;
}

// The original check opened the file through its ANSI name; a name outside
// the ANSI code page would then look missing and the file would be emptied.
// Opening by the UTF-16 name gives the same answer for every other name.
// The value is read as bytes into 260 bytes and may lack its terminator, so
// only the units actually read are taken.
int MISC_ReadCommonDocuments(WCHAR* text, DWORD length)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kShellFoldersKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    WCHAR value[130];
    DWORD size = sizeof(value);
    DWORD type = 0;
    LONG rc = RegQueryValueExW(key, L"Common Documents", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return 0;
    size_t units = MISC_TextLength(U16(value), size / sizeof(WCHAR));
    return SetPath(text, length, std::u16string_view(U16(value), units)) ? 1 : 0;
}

int MISC_CheckUniFile(const WCHAR* path)
{
    if (!path)
        return 0;
    int result = -1;
    for (DWORD attempt = 0; attempt < kCheckAttempts; ++attempt) {
        result = LookForMark(path);
        if (result == 1)
            break;
        TRACE_TagError(L"MISC_CheckUniFile", result == -1 ? L"file not found!" : L"file not unicode!");
        Sleep(kRetryPauseMs);
    }
    TRACE_Tag(L"MISC_CheckUniFile", L"rc = %d", result);
    return result;
}

// Create-new: a file that exists, whoever made it, is not touched.
int MISC_CreateUniFile(const WCHAR* path)
{
    TRACE_Tag(L"MISC_CreateUniFile", L"create file %ls", path ? path : L"");
    if (!path)
        return 1;
    HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        TRACE_Tag(L"MISC_CreateUniFile", L"not created (%lu)", GetLastError());
        return 1;
    }
    static const BYTE kMark[2] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(file, kMark, sizeof(kMark), &written, nullptr);
    CloseHandle(file);
    return 1;
}

int MISC_Remove(const WCHAR* path)
{
    TRACE_Tag(L"MISC_Remove", L"remove file %ls", path ? path : L"");
    if (!path)
        return 1;
    DWORD start = GetTickCount();
    while (!DeleteFileW(path) && GetTickCount() - start < kRemoveLimitMs)
        Sleep(kRetryPauseMs);
    return 1;
}

int MISC_FileExists(const WCHAR* path)
{
    if (!path)
        return 0;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return 1;
}

int MISC_DirExists(const WCHAR* path)
{
    if (!path)
        return 0;
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

int MISC_AddBackslash(WCHAR* path, size_t capacity)
{
    if (!path)
        return 0;
    size_t len = wcslen(path);
    if ((len == 0 || path[len - 1] != L'\\') && len + 1 < capacity) {
        path[len] = L'\\';
        path[len + 1] = L'\0';
    }
    return 1;
}

DWORD SM_GetOsVersionCode()
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    BOOL ok = GetVersionExW(&info);
#pragma GCC diagnostic pop
    return SM_OsVersionCodeFor(ok != FALSE, info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}
