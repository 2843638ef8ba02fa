// The character rule as the prompt dialogs call it.
#pragma once

#include <windows.h>

#include "prompts/check_rule.h"

// 1 when the first length units of text all pass the rule of the kind, 0 at
// the first refused unit. Traces its work and always pauses 20 ms, which
// keeps a burst of change notifications from a paste or auto-repeat from
// racing the edit control. Password text (kind 0) is never traced.
int MISC_CheckString(const WCHAR* text, unsigned length, unsigned kind);
