#include "common/registry.h"

#include <cwchar>
#include <string>

#include "common/path_names.h"
#include "common/trace.h"
#include "common/utf16.h"

namespace {

constexpr const wchar_t* kTag = L"MISC_OpenRegKey";

// Makes sure parent\child exists: opens it, or creates child below parent.
// reportName is what the failure lines name, as they always have.
bool EnsureKeyLevel(const wchar_t* parent, const wchar_t* child, const wchar_t* openFailName,
                    const wchar_t* createFailName, const wchar_t* createdLine)
{
    wchar_t path[MAX_PATH];
    swprintf(path, MAX_PATH, L"%ls\\%ls", parent, child);
    HKEY key;
    if (RegOpenKeyW(HKEY_LOCAL_MACHINE, path, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        return true;
    }
    HKEY parentKey;
    if (RegOpenKeyW(HKEY_LOCAL_MACHINE, parent, &parentKey) != ERROR_SUCCESS) {
        TRACE_TagError(kTag, L"open key %ls fail!", openFailName);
        return false;
    }
    HKEY created;
    if (RegCreateKeyW(parentKey, child, &created) != ERROR_SUCCESS) {
        TRACE_TagError(kTag, L"create key %ls fail!", createFailName);
        RegCloseKey(parentKey);
        return false;
    }
    TRACE_Tag(kTag, createdLine);
    RegCloseKey(created);
    RegCloseKey(parentKey);
    return true;
}

} // namespace

LONG SM_SetRunValue(HKEY root, const WCHAR* valueName, const WCHAR* data)
{
    HKEY key;
    LONG rc = RegCreateKeyExW(root, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS)
        return rc;
    const DWORD bytes = static_cast<DWORD>((wcslen(data) + 1) * sizeof(WCHAR));
    rc = RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), bytes);
    RegCloseKey(key);
    return rc;
}

int SM_WriteAutostart(const WCHAR* valueName, const WCHAR* exePath, SM_RunValueWriter write)
{
    constexpr const wchar_t* tag = L"SM_WriteAutostart";
    const std::u16string command = PATH_AutostartCommand(U16View(exePath));
    const LONG machine = write(HKEY_LOCAL_MACHINE, valueName, W16(command.c_str()));
    if (machine == ERROR_SUCCESS)
        return 1;
    // Without it nothing would start at the user's next logon.
    const LONG user = write(HKEY_CURRENT_USER, valueName, W16(command.c_str()));
    TRACE_Tag(tag, L"machine's Run key refused %ls (%ld), this user's: %ld", valueName, machine, user);
    return user == ERROR_SUCCESS ? 1 : 0;
}

int SM_DeleteAutostart(const WCHAR* valueName)
{
    int deleted = 0;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        HKEY key;
        if (RegOpenKeyA(root, "software\\microsoft\\windows\\currentversion\\run", &key) != ERROR_SUCCESS)
            continue;
        if (RegDeleteValueW(key, valueName) == ERROR_SUCCESS)
            deleted = 1;
        RegCloseKey(key);
    }
    return deleted;
}

int MISC_OpenRegKey(HKEY* key, const WCHAR* keyName)
{
    if (!key || !keyName)
        return 0;
    if (!EnsureKeyLevel(L"software", L"Orvanite", L"software\\Orvanite", L"software", L"Orvanite key create succ"))
        return 0;
    if (!EnsureKeyLevel(L"software\\Orvanite", L"Printer", L"software\\Orvanite", L"Printer", L"Printer key create succ"))
        return 0;
    wchar_t path[2 * MAX_PATH];
    swprintf(path, 2 * MAX_PATH, L"%ls\\%ls\\%ls\\%ls", L"software", L"Orvanite", L"Printer", keyName);
    if (RegOpenKeyW(HKEY_LOCAL_MACHINE, path, key) == ERROR_SUCCESS)
        return 1;
    HKEY parent;
    if (RegOpenKeyW(HKEY_LOCAL_MACHINE, L"software\\Orvanite\\Printer", &parent) != ERROR_SUCCESS) {
        TRACE_TagError(kTag, L"open key %ls fail!", L"software\\Orvanite\\Printer");
        return 0;
    }
    LONG rc = RegCreateKeyW(parent, keyName, key);
    RegCloseKey(parent);
    if (rc != ERROR_SUCCESS) {
        TRACE_TagError(kTag, L"create key %ls fail!", L"Printer");
        return 0;
    }
    TRACE_Tag(kTag, L"Printer key create succ");
    return 1;
}

int MISC_SetRegValue(const WCHAR* valueName, int value, const WCHAR* keyName)
{
    constexpr const wchar_t* tag = L"MISC_SetRegValue";
    TRACE_Tag(tag, L"value = %d", value);
    HKEY key;
    if (!MISC_OpenRegKey(&key, keyName)) {
        TRACE_TagError(tag, L"Open key Fail!");
        return 0;
    }
    DWORD data = static_cast<DWORD>(value);
    if (RegSetValueExW(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data)) != ERROR_SUCCESS)
        TRACE_TagError(tag, L"NO value to read!");
    else
        TRACE_Tag(tag, L"Success");
    RegCloseKey(key);
    return 1;
}
