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

// The target is looked at without following a link planted there. Missing
// is fine; anything that is not a plain, writable, empty or BMP file is not.
bool TargetMayBeReplaced(const WCHAR* target)
{
    ScopedHandle file(CreateFileW(target, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.Valid()) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND)
            return true;
        TRACE_TagError(kTag, L"%ls can't be looked at (%lu), left alone", target, error);
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(file.Get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.Get(), &info)) {
        TRACE_TagError(kTag, L"%ls is no disk file, left alone", target);
        return false;
    }
    const DWORD refused = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY;
    if (info.dwFileAttributes & refused) {
        TRACE_TagError(kTag, L"%ls has attributes 0x%lx, left alone", target, info.dwFileAttributes);
        return false;
    }
    if (info.nFileSizeHigh == 0 && info.nFileSizeLow == 0)
        return true;
    char mark[2] = {0, 0};
    DWORD read = 0;
    if (ReadFile(file.Get(), mark, sizeof(mark), &read, nullptr) && read == 2 && mark[0] == 'B' && mark[1] == 'M')
        return true;
    TRACE_TagError(kTag, L"%ls is no BMP file, left alone", target);
    return false;
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
bool ReplaceTarget(HANDLE file, const WCHAR* target)
{
    std::wstring to = NtPathOf(target);
    if (to.empty())
        return false;
    const DWORD nameBytes = static_cast<DWORD>(to.size() * sizeof(WCHAR));
    std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = nameBytes;
    memcpy(rename->FileName, to.c_str(), nameBytes);
    return SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size())) != FALSE;
}

// The temporary file is marked for deletion while it is filled, so a process
// killed meanwhile leaves nothing behind; the mark is lifted just before the
// rename. The target is looked at again last: it may have changed meanwhile.
bool FillAndReplace(HANDLE file, const WCHAR* target, const MISC_FileWriter& write)
{
    if (!MarkForDeletion(file, true) || !write(file)) {
        TRACE_TagError(kTag, L"write fail!");
        return false;
    }
    if (!FlushFileBuffers(file)) {
        TRACE_TagError(kTag, L"flush fail!");
        return false;
    }
    if (!TargetMayBeReplaced(target))
        return false;
    if (!MarkForDeletion(file, false) || !ReplaceTarget(file, target)) {
        TRACE_TagError(kTag, L"replace %ls fail!", target);
        return false;
    }
    return true;
}

} // namespace

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
    if (!TargetMayBeReplaced(target))
        return 0;
    ScopedHandle temp(CreateTempSibling(path.substr(0, PATH_FolderLength(path))));
    if (!temp.Valid()) {
        TRACE_TagError(kTag, L"create temporary file beside %ls fail!", target);
        return 0;
    }
    if (FillAndReplace(temp.Get(), target, write))
        return 1;
    MarkForDeletion(temp.Get(), true);
    return 0;
}
