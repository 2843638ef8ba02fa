#include "common/safe_file.h"

#include <cstring>
#include <string>
#include <vector>

#include "common/handle_guards.h"
#include "common/target_name.h"
#include "common/trace.h"
#include "common/utf16.h"

namespace {

constexpr const wchar_t* kTag = L"MISC_WriteFileSafely";
constexpr int kTempNameAttempts = 16;

constexpr DWORD kHeldWaitMs = 2000;
constexpr DWORD kHeldPauseMs = 50;

using Step = MISC_TargetStep;

// Repeats step while the target is held, for up to kHeldWaitMs.
Step RetryWhileHeld(const WCHAR* target, const std::function<Step()>& step)
{
    const DWORD start = GetTickCount();
    Step result = step();
    while (result == Step::Held && GetTickCount() - start < kHeldWaitMs) {
        Sleep(kHeldPauseMs);
        result = step();
    }
    if (result == Step::Held)
        TRACE_TagError(kTag, L"%ls still held after %lu ms, left alone", target, kHeldWaitMs);
    return result;
}

// The target is looked at without following a link planted there, and
// opened for DELETE, as the rename will need: a target this user may not
// replace is refused now rather than after waiting for it. Missing is
// fine; anything that is not a plain, writable, empty or BMP file is not.
Step LookAtTarget(const WCHAR* target)
{
    ScopedHandle file(CreateFileW(target, GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.Valid()) {
        const DWORD error = GetLastError();
        const Step step = MISC_TargetStepOfError(MISC_TargetPhase::Look, error);
        if (step == Step::Refused)
            TRACE_TagError(kTag, L"%ls can't be looked at (%lu), left alone", target, error);
        return step;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(file.Get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.Get(), &info)) {
        TRACE_TagError(kTag, L"%ls is no disk file, left alone", target);
        return Step::Refused;
    }
    const DWORD refused = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY;
    if (info.dwFileAttributes & refused) {
        TRACE_TagError(kTag, L"%ls has attributes 0x%lx, left alone", target, info.dwFileAttributes);
        return Step::Refused;
    }
    if (info.nFileSizeHigh == 0 && info.nFileSizeLow == 0)
        return Step::Done;
    char mark[2] = {0, 0};
    DWORD read = 0;
    if (!ReadFile(file.Get(), mark, sizeof(mark), &read, nullptr)) {
        const DWORD error = GetLastError();
        const Step step = MISC_TargetStepOfError(MISC_TargetPhase::Read, error);
        if (step == Step::Refused)
            TRACE_TagError(kTag, L"%ls can't be read (%lu), left alone", target, error);
        return step;
    }
    if (read == 2 && mark[0] == 'B' && mark[1] == 'M')
        return Step::Done;
    TRACE_TagError(kTag, L"%ls is no BMP file, left alone", target);
    return Step::Refused;
}

// A new file beside the target that nobody else can open while it is ours.
HANDLE CreateTempSibling(std::u16string_view folder)
{
    const uint32_t seed = GetCurrentProcessId() * 0x9E3779B1u + GetTickCount();
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        const std::u16string name = PATH_TempSibling(folder, seed + static_cast<uint32_t>(attempt) * 0x10001u, MAX_PATH);
        if (name.empty())
            return INVALID_HANDLE_VALUE;
        HANDLE file = CreateFileW(W16(name.c_str()), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

// Deletion through the handle: it can only ever remove our own file.
bool MarkForDeletion(HANDLE file, bool remove)
{
    FILE_DISPOSITION_INFO disposition = {static_cast<BOOLEAN>(remove ? TRUE : FALSE)};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof(disposition)) != FALSE;
}

// The rename takes an NT path: "\??\C:\..." or "\??\UNC\server\share\...".
std::wstring NtPathOf(const WCHAR* target)
{
    WCHAR full[MAX_PATH];
    DWORD length = GetFullPathNameW(target, MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return {};
    if (full[0] == L'\\' && full[1] == L'\\')
        return std::wstring(L"\\??\\UNC\\") + (full + 2);
    return std::wstring(L"\\??\\") + full;
}

// Renames the open file over the target in one step: the target is either
// the old file or the new one, never a part of either.
Step RenameOver(HANDLE file, const WCHAR* target)
{
    std::wstring to = NtPathOf(target);
    if (to.empty())
        return Step::Refused;
    const DWORD nameBytes = static_cast<DWORD>(to.size() * sizeof(WCHAR));
    std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = nameBytes;
    memcpy(rename->FileName, to.c_str(), nameBytes);
    if (SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size())))
        return Step::Done;
    const DWORD error = GetLastError();
    const Step step = MISC_TargetStepOfError(MISC_TargetPhase::Rename, error);
    if (step == Step::Refused)
        TRACE_TagError(kTag, L"replace %ls fail (%lu)!", target, error);
    return step;
}

// The target is looked at again last: it may have changed meanwhile. The
// deletion mark is lifted only for the rename itself, so a process killed
// while it waits for the target still leaves nothing behind.
Step ReplaceTarget(HANDLE file, const WCHAR* target)
{
    const Step look = LookAtTarget(target);
    if (look != Step::Done)
        return look;
    if (!MarkForDeletion(file, false))
        return Step::Refused;
    const Step renamed = RenameOver(file, target);
    if (renamed != Step::Done)
        MarkForDeletion(file, true);
    return renamed;
}

// The temporary file is marked for deletion while it is filled, so a process
// killed meanwhile leaves nothing behind.
bool Fill(HANDLE file, const MISC_FileWriter& write)
{
    if (!MarkForDeletion(file, true) || !write(file)) {
        TRACE_TagError(kTag, L"write fail!");
        return false;
    }
    if (!FlushFileBuffers(file)) {
        TRACE_TagError(kTag, L"flush fail!");
        return false;
    }
    return true;
}

int ResultOf(Step step)
{
    if (step == Step::Held)
        return MISC_FILE_HELD;
    return step == Step::Done ? 1 : 0;
}

} // namespace

MISC_TargetStep MISC_TargetStepOfError(MISC_TargetPhase phase, DWORD error)
{
    // Another process has the file open without sharing what this step
    // needs, or locks a range of it.
    const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
    switch (phase) {
    case MISC_TargetPhase::Look:
        // Access denied here is the file's or the folder's rule (or a
        // folder): no waiting changes it.
        if (error == ERROR_FILE_NOT_FOUND)
            return Step::Done;
        return held ? Step::Held : Step::Refused;
    case MISC_TargetPhase::Read:
        return error == ERROR_LOCK_VIOLATION ? Step::Held : Step::Refused;
    case MISC_TargetPhase::Rename:
        // The look had the right to delete: here access denied is any open
        // handle to the target, or a delete pending on it.
        return held || error == ERROR_ACCESS_DENIED ? Step::Held : Step::Refused;
    }
    return Step::Refused;
}

int MISC_WriteFileSafely(const WCHAR* target, const MISC_FileWriter& write)
{
    ScopedTrace trace(kTraceProgress, kTag);
    if (!target)
        return 0;
    const std::u16string_view path = U16View(target);
    PATH_TargetVerdict verdict = PATH_CheckTargetName(path);
    if (verdict != PATH_TargetVerdict::Ok) {
        TRACE_TagError(kTag, L"%ls refused (%d)", target, static_cast<int>(verdict));
        return 0;
    }
    const Step look = RetryWhileHeld(target, [target] { return LookAtTarget(target); });
    if (look != Step::Done)
        return ResultOf(look);
    ScopedHandle temp(CreateTempSibling(path.substr(0, PATH_FolderLength(path))));
    if (!temp.Valid()) {
        TRACE_TagError(kTag, L"create temporary file beside %ls fail!", target);
        return 0;
    }
    const Step replaced = Fill(temp.Get(), write)
                              ? RetryWhileHeld(target, [&temp, target] { return ReplaceTarget(temp.Get(), target); })
                              : Step::Refused;
    if (replaced != Step::Done)
        MarkForDeletion(temp.Get(), true);
    return ResultOf(replaced);
}
