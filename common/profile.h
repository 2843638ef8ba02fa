// Profile (INI) file writes shared by the monitor and the prompts.
#pragma once

#include <windows.h>

// Writes key = value into section of the profile file, with up to three
// attempts: the driver side may hold the file at the same moment. 1 at the
// first success, 0 after three failures.
int MISC_WriteProfileStringRetry(const WCHAR* file, const WCHAR* section, const WCHAR* key, const WCHAR* value);
