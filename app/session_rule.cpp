#include "app/session_rule.h"

SM_SessionVerdict SM_JudgeSession(const SM_SessionFacts& facts)
{
    if (facts.sessionId == 0)
        return SM_SessionVerdict::ServicesSession;
    if (facts.localSystem)
        return SM_SessionVerdict::LocalSystem;
    switch (facts.reference) {
    case SM_Reference::OtherUser:
        return SM_SessionVerdict::OtherUser;
    case SM_Reference::SameUser:
        // UAC off and the built-in Administrator: the desktop is as high.
        return facts.integrity > facts.referenceIntegrity ? SM_SessionVerdict::Elevated
                                                          : SM_SessionVerdict::UserSession;
    case SM_Reference::None:
        break;
    }
    return facts.elevation == SM_Elevation::Full ? SM_SessionVerdict::Elevated : SM_SessionVerdict::UserSession;
}
