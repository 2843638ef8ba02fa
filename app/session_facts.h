// The token and session facts of this process, for SM_JudgeSession.
#pragma once

#include "app/session_rule.h"

// What cannot be read counts as an ordinary start in a user's session, the
// road the program always took.
SM_SessionFacts SM_GatherSessionFacts();

// SM_JudgeSession of this process, with a trace line naming the verdict.
SM_SessionVerdict SM_JudgeThisSession();
using SM_SessionJudge = SM_SessionVerdict (*)();
