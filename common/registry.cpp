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

int SM_WriteAutostart(const WCHAR* valueName, const WCHAR* exePath)
{
    HKEY key;
    if (RegOpenKeyW(HKEY_LOCAL_MACHINE, kRunKey, &key) != ERROR_SUCCESS)
        return 0;
    const std::u16string command = PATH_AutostartCommand(U16View(exePath));
    // REG_SZ data includes its terminating zero.
    DWORD bytes = static_cast<DWORD>((command.size() + 1) * sizeof(WCHAR));
    LONG rc = RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()), bytes);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? 1 : 0;
}

int SM_DeleteAutostart(const WCHAR* valueName)
{
    HKEY key;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "software\\microsoft\\windows\\currentversion\\run", &key) != ERROR_SUCCESS)
        return 0;
    LONG rc = RegDeleteValueW(key, valueName);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? 1 : 0;
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
