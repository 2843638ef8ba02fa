#include "app/session_facts.h"

#include <windows.h>

#include "common/handle_guards.h"
#include "common/trace.h"

namespace {

constexpr const wchar_t* kTag = L"SM_GatherSessionFacts";

// TOKEN_USER or TOKEN_MANDATORY_LABEL and the SID it points into; a SID is
// at most 68 bytes.
struct SidRecord {
    alignas(TOKEN_USER) BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
};

bool ReadSidRecord(HANDLE token, TOKEN_INFORMATION_CLASS what, SidRecord* record)
{
    DWORD bytes = 0;
    return GetTokenInformation(token, what, record->bytes, sizeof(record->bytes), &bytes) != FALSE;
}

PSID UserOf(SidRecord& record)
{
    return reinterpret_cast<TOKEN_USER*>(record.bytes)->User.Sid;
}

// The mandatory level is the label SID's last sub-authority; 0 when unknown.
unsigned long IntegrityOf(HANDLE token)
{
    SidRecord record;
    if (!ReadSidRecord(token, TokenIntegrityLevel, &record))
        return 0;
    PSID label = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(record.bytes)->Label.Sid;
    const UCHAR count = *GetSidSubAuthorityCount(label);
    return count ? *GetSidSubAuthority(label, count - 1) : 0;
}

SM_Elevation ElevationOf(HANDLE token)
{
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD bytes = 0;
    if (!GetTokenInformation(token, TokenElevationType, &type, sizeof(type), &bytes)) {
        TRACE_TagError(kTag, L"elevation type unknown (%lu)", GetLastError());
        return SM_Elevation::Default;
    }
    return static_cast<SM_Elevation>(type);
}

// The token of the process that owns window, when this user may read it
// (null otherwise: the system's processes refuse a standard user).
HANDLE OwnerToken(HWND window)
{
    DWORD pid = 0;
    if (!window || !GetWindowThreadProcessId(window, &pid) || pid == 0)
        return nullptr;
    ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    HANDLE token = nullptr;
    if (!process.Valid() || !OpenProcessToken(process.Get(), TOKEN_QUERY, &token))
        return nullptr;
    return token;
}

// The user's desktop is the shell's process. Without a shell, the desktop
// window's process stands in: on Windows that is the system's, unreadable
// to a user or of another user, which leaves an elevated token elevated.
void CompareWithDesktop(SidRecord& user, SM_SessionFacts* facts)
{
    HANDLE raw = OwnerToken(GetShellWindow());
    if (!raw)
        raw = OwnerToken(GetDesktopWindow());
    ScopedHandle reference(raw);
    SidRecord referenceUser;
    if (!reference.Valid() || !ReadSidRecord(reference.Get(), TokenUser, &referenceUser))
        return;
    if (!EqualSid(UserOf(user), UserOf(referenceUser))) {
        facts->reference = SM_Reference::OtherUser;
        return;
    }
    // Without its level the reference tells nothing about elevation.
    facts->referenceIntegrity = IntegrityOf(reference.Get());
    if (facts->referenceIntegrity != 0)
        facts->reference = SM_Reference::SameUser;
}

void ReadOwnToken(HANDLE token, SM_SessionFacts* facts)
{
    facts->elevation = ElevationOf(token);
    facts->integrity = IntegrityOf(token);
    SidRecord user;
    if (!ReadSidRecord(token, TokenUser, &user)) {
        TRACE_TagError(kTag, L"token user unknown (%lu)", GetLastError());
        return;
    }
    facts->localSystem = IsWellKnownSid(UserOf(user), WinLocalSystemSid) != FALSE;
    CompareWithDesktop(user, facts);
}

} // namespace

SM_SessionFacts SM_GatherSessionFacts()
{
    SM_SessionFacts facts = {SM_Elevation::Default, false, 1, SM_Reference::None, 0, 0};
    HANDLE raw = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) {
        ScopedHandle token(raw);
        ReadOwnToken(token.Get(), &facts);
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
    TRACE_Tag(kTag, L"elevation %d, LocalSystem %d, session %lu, desktop %d, integrity 0x%lx/0x%lx: verdict %d",
              static_cast<int>(facts.elevation), facts.localSystem ? 1 : 0, facts.sessionId,
              static_cast<int>(facts.reference), facts.integrity, facts.referenceIntegrity, static_cast<int>(verdict));
    return verdict;
}
