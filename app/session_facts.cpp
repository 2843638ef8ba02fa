#include "app/session_facts.h"

#include <windows.h>

#include "common/handle_guards.h"
#include "common/trace.h"

namespace {

constexpr const wchar_t* kTag = L"SM_GatherSessionFacts";

// Wine gives every process, its desktop's included, the full half of a split
// token: there is no filtered logon that a later start would use, so there
// the token counts as unsplit.
bool FullTokenForEveryone()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

SM_Elevation ElevationOf(HANDLE token)
{
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD bytes = 0;
    if (!GetTokenInformation(token, TokenElevationType, &type, sizeof(type), &bytes)) {
        TRACE_TagError(kTag, L"elevation type unknown (%lu)", GetLastError());
        return SM_Elevation::Default;
    }
    if (type == TokenElevationTypeFull && !FullTokenForEveryone())
        return SM_Elevation::Full;
    return type == TokenElevationTypeLimited ? SM_Elevation::Limited : SM_Elevation::Default;
}

bool IsLocalSystem(HANDLE token)
{
    // TOKEN_USER and the SID it points into; a SID is at most 68 bytes.
    alignas(TOKEN_USER) BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD bytes = 0;
    if (!GetTokenInformation(token, TokenUser, buffer, sizeof(buffer), &bytes)) {
        TRACE_TagError(kTag, L"token user unknown (%lu)", GetLastError());
        return false;
    }
    return IsWellKnownSid(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, WinLocalSystemSid) != FALSE;
}

} // namespace

SM_SessionFacts SM_GatherSessionFacts()
{
    SM_SessionFacts facts = {SM_Elevation::Default, false, 1};
    HANDLE raw = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) {
        ScopedHandle token(raw);
        facts.elevation = ElevationOf(token.Get());
        facts.localSystem = IsLocalSystem(token.Get());
    } else {
        TRACE_TagError(kTag, L"process token unknown (%lu)", GetLastError());
    }
    DWORD session = 0;
    if (ProcessIdToSessionId(GetCurrentProcessId(), &session))
        facts.sessionId = session;
    else
        TRACE_TagError(kTag, L"session unknown (%lu)", GetLastError());
    return facts;
}

SM_SessionVerdict SM_JudgeThisSession()
{
    const SM_SessionFacts facts = SM_GatherSessionFacts();
    const SM_SessionVerdict verdict = SM_JudgeSession(facts);
    TRACE_Tag(kTag, L"elevation %d, LocalSystem %d, session %lu: verdict %d", static_cast<int>(facts.elevation),
              facts.localSystem ? 1 : 0, facts.sessionId, static_cast<int>(verdict));
    return verdict;
}
