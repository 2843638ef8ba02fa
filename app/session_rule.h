// Where this process runs, as far as "install", "logon" and the prompts
// care: its token against the token of the user's desktop, and its session.
// Plain values only; app/session_facts.cpp gathers them.
#pragma once

// The token's elevation type, with the values of TOKEN_ELEVATION_TYPE.
enum class SM_Elevation {
    Default = 1,  // no split token: UAC off, or an account without a filtered half
    Full = 2,     // the elevated half of a split token
    Limited = 3,  // the filtered half: the user's ordinary rights
};

// Whose the reference token is: the process of the shell window, or where
// that cannot be read, the process of the desktop window.
enum class SM_Reference {
    None,       // neither could be read: the own token decides alone
    SameUser,   // the token's user is this process's user
    OtherUser,  // typed credentials of another account, "runas", or the system's desktop
};

struct SM_SessionFacts {
    SM_Elevation elevation;
    bool localSystem;                 // the token's user is S-1-5-18
    unsigned long sessionId;          // 0: the services' session, which no user sees
    SM_Reference reference;
    unsigned long integrity;          // the token's mandatory level (0x2000 medium, 0x3000 high)
    unsigned long referenceIntegrity; // the reference token's level; read only with a reference
};

enum class SM_SessionVerdict {
    UserSession,     // an ordinary start in a user's session: everything as usual
    Elevated,        // above the user's desktop: a start with the user's own rights will come
    LocalSystem,     // a service's account, shown to nobody, found by no user's uninstall
    ServicesSession, // session 0: no user can see a window here, or answer a prompt
    OtherUser,       // another account than the desktop's, out of reach of its user's uninstall
};

// Session 0 wins over the token, LocalSystem over the reference, and the
// reference over the token's own elevation.
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
