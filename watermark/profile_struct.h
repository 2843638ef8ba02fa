// Binary records stored by the driver in INI values as base64 text.
#pragma once

#include <windows.h>

// Reads recordSize bytes stored under section/key of iniPath into record.
// Nonzero on success, when exactly recordSize bytes were written; 0 when the
// key is missing, empty, longer than the encoding of recordSize bytes, or not
// convertible, and record is then untouched.
BOOL MISC_GetPrivateProfileStruct(const WCHAR* section, const WCHAR* key, void* record,
                                  UINT recordSize, const WCHAR* iniPath);
