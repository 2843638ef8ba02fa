// Where this process runs, as far as "install" and the prompts care: the
// token's elevation, whether it is LocalSystem's, and its session. Plain
// values only; app/session_facts.cpp gathers them from the process token.
#pragma once

// The token's elevation type, with the values of TOKEN_ELEVATION_TYPE.
enum class SM_Elevation {
    Default = 1,  // no split token: UAC off, or an account without a filtered half
    Full = 2,     // the elevated half of a split token
    Limited = 3,  // the filtered half: the user's ordinary rights
};

struct SM_SessionFacts {
    SM_Elevation elevation;
    bool localSystem;        // the token's user is S-1-5-18
    unsigned long sessionId; // 0: the services' session, which no user sees
};

enum class SM_SessionVerdict {
    UserSession,     // an ordinary start in a user's session: everything as usual
    Elevated,        // the user's elevated half: the logon start will use the filtered one
    LocalSystem,     // a service's account, shown to nobody, found by no user's uninstall
    ServicesSession, // session 0: no user can see a window here, or answer a prompt
};

// Session 0 wins over the token, LocalSystem over elevation.
SM_SessionVerdict SM_JudgeSession(const SM_SessionFacts& facts);

// The resident monitor is started only where a user sees it and can stop it.
inline bool SM_MayStayResident(SM_SessionVerdict verdict)
{
    return verdict == SM_SessionVerdict::UserSession;
}

// A prompt is shown only where a user can answer it.
inline bool SM_UserCanAnswer(SM_SessionVerdict verdict)
{
    return verdict != SM_SessionVerdict::ServicesSession;
}
