#include "app/session_rule.h"

SM_SessionVerdict SM_JudgeSession(const SM_SessionFacts& facts)
{
    if (facts.sessionId == 0)
        return SM_SessionVerdict::ServicesSession;
    if (facts.localSystem)
        return SM_SessionVerdict::LocalSystem;
    if (facts.elevation == SM_Elevation::Full)
        return SM_SessionVerdict::Elevated;
    return SM_SessionVerdict::UserSession;
}
