// Registry settings of the local machine: the autostart value and the
// numbers the driver side keeps under the program key
// software\Orvanite\Printer\<key name>.
#pragma once

#include <windows.h>

constexpr const wchar_t* kRunKey = L"software\\microsoft\\windows\\currentversion\\run";

// Writes the autostart value name = path (REG_SZ), the path in quotes when
// it holds a space; 1 when written.
int SM_WriteAutostart(const WCHAR* valueName, const WCHAR* exePath);
// Deletes the autostart value; 1 when deleted, 0 otherwise (also when absent).
int SM_DeleteAutostart(const WCHAR* valueName);
// Opens the program key for keyName, creating missing levels; the caller closes it.
int MISC_OpenRegKey(HKEY* key, const WCHAR* keyName);
// Writes value as REG_DWORD under the program key; 0 only when the key cannot be opened.
int MISC_SetRegValue(const WCHAR* valueName, int value, const WCHAR* keyName);
