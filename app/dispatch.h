// Command dispatch of mfpsm: the command word in argument 1 picks one task.
#pragma once

#include <windows.h>

// Runs the task of the command word. Returns 1 when the process is to become
// the resident monitor ("install"), 0 when it is to end.
int SM_DispatchCommand(const WCHAR* const* argv, int argc, const WCHAR* moduleName, const WCHAR* exePath);

// Language identifier to prompt table column, with its two debug lines.
int SM_GetLanguageIndex(int languageId);
