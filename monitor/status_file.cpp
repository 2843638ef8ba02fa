#include "monitor/status_file.h"

#include <string>

#include "common/globals.h"
#include "common/profile.h"
#include "common/trace.h"
#include "common/utf16.h"
#include "monitor/status_syntax.h"

static_assert(kErrCodeSlots == kMaxErrCodes, "one size of error code list");

namespace {

constexpr const wchar_t* kTagWrite = L"SM_WriteStatusKey";
// A driver write that read the file before ours lands within its own short
// read-and-write; the value must be seen in place twice, a pause apart.
constexpr DWORD kReadBackPauseMs = 25;
constexpr int kTimesSeen = 2;
constexpr int kReadBacks = 12;
constexpr DWORD kShortValueUnits = 64;
// No writer of the file puts a control character into a value, so this
// default means "missing".
constexpr const wchar_t* kMissing = L"\x01";

std::wstring ReadPrinterKey(const wchar_t* key)
{
    WCHAR value[kShortValueUnits] = L"";
    GetPrivateProfileStringW(kSectionPrinter, key, kMissing, value, kShortValueUnits, g_szStatusFile);
    return value;
}

// The key and the driver's change stamp, as a rewrite from a stale read
// would put them back.
struct KeySnapshot {
    std::wstring value;
    std::wstring stamp;
};

KeySnapshot Snapshot(const wchar_t* key)
{
    return {ReadPrinterKey(key), ReadPrinterKey(kKeyLastMsg)};
}

// A rewrite from a stale read puts back what was there before our write; one
// from a read in the middle of another rewrite may drop the keys altogether.
// Any other value or change stamp is the driver's own answer.
bool PutBack(const KeySnapshot& now, const KeySnapshot& before)
{
    const bool valueBack = now.value == before.value || now.value == kMissing;
    const bool stampBack = now.stamp == before.stamp || now.stamp == kMissing;
    return valueBack && stampBack;
}

} // namespace

int SM_ReadStatusInt(const wchar_t* section, const wchar_t* key, int def)
{
    // The profile API returns UINT; negative numbers come back as their bits.
    return static_cast<int>(GetPrivateProfileIntW(section, key, def, g_szStatusFile));
}

void SM_ReadPrinterName(WCHAR* name)
{
    GetPrivateProfileStringW(kSectionPrinter, kKeyPrinterName, L"", name, kPrinterNameUnits, g_szStatusFile);
}

// Every profile write rewrites the whole file, so a driver write that read
// the file just before ours puts the key back as it was. The values written
// here say the same thing again when repeated, so the key is read back after
// a short pause and written again while it reads as before our write; a
// value or change stamp of the driver's own is its answer and is left alone.
int SM_WriteStatusKey(const wchar_t* key, const wchar_t* value)
{
    const KeySnapshot before = Snapshot(key);
    if (!MISC_WriteProfileStringRetry(g_szStatusFile, kSectionPrinter, key, value))
        return 0;
    int seen = 0;
    for (int check = 1; check <= kReadBacks; ++check) {
        Sleep(kReadBackPauseMs);
        const KeySnapshot now = Snapshot(key);
        if (now.value == value) {
            if (++seen == kTimesSeen)
                return 1;
            continue;
        }
        if (!PutBack(now, before)) {
            TRACE_Tag(kTagWrite, L"%ls = %ls written by the driver after ours, left alone", key, now.value.c_str());
            return 1;
        }
        TRACE_Tag(kTagWrite, L"%ls = %ls lost to another writer, written again (%d)", key, value, check);
        if (!MISC_WriteProfileStringRetry(g_szStatusFile, kSectionPrinter, key, value))
            return 0;
        seen = 0;
    }
    TRACE_TagError(kTagWrite, L"%ls = %ls not kept after %d read-backs", key, value, kReadBacks);
    return 0;
}

int GetErrCode(int* list, int* count)
{
    WCHAR status[kTextUnits] = L"";
    DWORD length = GetPrivateProfileStringW(kSectionPrinter, kKeyStatus, L"", status, kTextUnits, g_szStatusFile);
    *count = SM_ParseStatus(U16View(status, length), list, U16(g_szStoreName), kTextUnits);
    return *count;
}
