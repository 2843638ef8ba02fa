// Registry settings of the local machine: the autostart value and the
// numbers the driver side keeps under the program key
// software\Orvanite\Printer\<key name>.
#pragma once

#include <windows.h>

constexpr const wchar_t* kRunKey = L"software\\microsoft\\windows\\currentversion\\run";

// Sets name = data (REG_SZ, with its terminating zero) under root's Run key;
// the registry's result.
LONG SM_SetRunValue(HKEY root, const WCHAR* valueName, const WCHAR* data);
using SM_RunValueWriter = LONG (*)(HKEY root, const WCHAR* valueName, const WCHAR* data);

// Writes the autostart value name = path (REG_SZ), the path in quotes when
// it holds a space: under HKEY_LOCAL_MACHINE for every user, or, where that
// is refused (a standard user), under HKEY_CURRENT_USER for this user. 1 when
// written in one of them. write is SM_SetRunValue but in tests.
int SM_WriteAutostart(const WCHAR* valueName, const WCHAR* exePath, SM_RunValueWriter write = SM_SetRunValue);
// Deletes the autostart value of the machine and of this user; 1 when one
// was deleted, 0 otherwise (also when both are absent).
int SM_DeleteAutostart(const WCHAR* valueName);
// Opens the program key for keyName, creating missing levels; the caller closes it.
int MISC_OpenRegKey(HKEY* key, const WCHAR* keyName);
// Writes value as REG_DWORD under the program key; 0 only when the key cannot be opened.
int MISC_SetRegValue(const WCHAR* valueName, int value, const WCHAR* keyName);
