// Command dispatch of mfpsm: the command word in argument 1 picks one task.
#pragma once

#include <windows.h>

#include "app/session_facts.h"

// SM_DispatchCommand's answer when the process is to become the resident monitor.
constexpr int kDispatchResident = -1;

// Runs the task of the command word. Returns kDispatchResident for "install"
// or "logon" started in a user's session with the user's own rights;
// otherwise the exit code the process ends with (kExitTaskDone and its
// sisters, common/globals.h; 0 for an "install" that only wrote the
// autostart value, or a "logon" with nothing to do). judge tells where the
// process runs: SM_JudgeThisSession but in tests.
int SM_DispatchCommand(const WCHAR* const* argv, int argc, const WCHAR* moduleName, const WCHAR* exePath,
                       SM_SessionJudge judge = SM_JudgeThisSession);

// Language identifier to prompt table column, with its two debug lines.
int SM_GetLanguageIndex(int languageId);
