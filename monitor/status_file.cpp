#include "monitor/status_file.h"

#include <cwchar>
#include <string>
#include <vector>

#include "common/globals.h"
#include "common/profile.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/utf16.h"
#include "monitor/read_back.h"
#include "monitor/status_syntax.h"

static_assert(kErrCodeSlots == kMaxErrCodes, "one size of error code list");

namespace {

constexpr const wchar_t* kTagWrite = L"SM_WriteStatusKey";
// A driver write that read the file before ours lands within its own short
// read-and-write, so the read-backs are a short pause apart.
constexpr DWORD kReadBackPauseMs = 25;
constexpr int kReadBacks = 12;
// A read that met a rewrite finds no section; the rewrite is over within a
// few milliseconds.
constexpr DWORD kTornReadPauseMs = 5;
constexpr int kBeforeReads = 4;
constexpr int kKeptKeyAttempts = 4;
// A writer preempted between emptying the file and writing it again leaves
// it without its sections for as long as it waits for the processor, which
// on a busy machine is tens of milliseconds.
constexpr int kMissingSectionAttempts = 24;
constexpr const wchar_t* kMissingMark = L"\x1";  // no value the driver writes
constexpr int kNumberUnits = 32;
// The most a section can hold; a read that did not fit reports this length.
constexpr DWORD kSectionUnits = 32767;
constexpr DWORD kSectionCutLength = kSectionUnits - 2;

// "key=value" and its NUL, when the key is in the section.
std::u16string EntryOf(const wchar_t* key)
{
    WCHAR value[kNumberUnits];
    GetPrivateProfileStringW(kSectionPrinter, key, kMissingMark, value, kNumberUnits, g_szStatusFile);
    if (wcscmp(value, kMissingMark) == 0)
        return std::u16string();
    std::u16string entry(U16View(key));
    entry += u'=';
    entry += U16View(value);
    entry += u'\0';
    return entry;
}

// Key and stamp from one read of the section, so both come from the same
// moment of the file. A section too long for one read comes back cut after
// its first entries, and both keys may lie beyond the cut; judged from that,
// our write would look undone and be repeated over and over into a file
// another process is writing. Such a section (no driver writes one, but
// anyone can write the file) is read key by key.
SM_KeyState ReadKeyState(const wchar_t* key)
{
    std::vector<WCHAR> block(kSectionUnits);
    DWORD length = GetPrivateProfileSectionW(kSectionPrinter, block.data(), kSectionUnits, g_szStatusFile);
    if (length < kSectionCutLength)
        return SM_KeyStateOf(U16View(block.data(), length), U16View(key), U16View(kKeyLastMsg));
    return SM_KeyStateOf(EntryOf(key) + EntryOf(kKeyLastMsg), U16View(key), U16View(kKeyLastMsg));
}

// The state before our write, read again while a rewrite in progress hides
// the section.
SM_KeyState ReadStateBefore(const wchar_t* key)
{
    SM_KeyState state = ReadKeyState(key);
    for (int read = 1; read < kBeforeReads && !state.whole; ++read) {
        Sleep(kTornReadPauseMs);
        state = ReadKeyState(key);
    }
    return state;
}

// True when the section holds any entry.
bool HasSection(const wchar_t* section)
{
    WCHAR probe[4];
    return GetPrivateProfileSectionW(section, probe, 4, g_szStatusFile) > 0;
}

// The profile functions rewrite the whole file for every key written, and a
// read from another process at that moment finds it empty or cut short. A
// key the driver keeps in the file is therefore read again, a few
// milliseconds apart, before it counts as missing; for longer while its whole
// section is missing, as the file is then being written. Returns its length,
// or -1 (and value "") when it is still missing.
int ReadKeptKey(const wchar_t* section, const wchar_t* key, WCHAR* value, DWORD units)
{
    for (int attempt = 1;; ++attempt) {
        DWORD length = GetPrivateProfileStringW(section, key, kMissingMark, value, units, g_szStatusFile);
        if (wcscmp(value, kMissingMark) != 0)
            return static_cast<int>(length);
        if (attempt >= kKeptKeyAttempts && (attempt == kMissingSectionAttempts || HasSection(section))) {
            value[0] = L'\0';
            return -1;
        }
        Sleep(kTornReadPauseMs);
    }
}

} // namespace

int SM_ReadStatusInt(const wchar_t* section, const wchar_t* key, int def)
{
    // The profile API returns UINT; negative numbers come back as their bits.
    return static_cast<int>(GetPrivateProfileIntW(section, key, def, g_szStatusFile));
}

DWORD SM_ReadJobID()
{
    return static_cast<DWORD>(SM_ReadKeptInt(kSectionJob, kKeyJobID, 0));
}

int SM_ReadKeptInt(const wchar_t* section, const wchar_t* key, int def)
{
    WCHAR text[kNumberUnits];
    if (ReadKeptKey(section, key, text, kNumberUnits) <= 0)
        return def;  // as the profile functions read an empty value
    return MISC_TextToInt(U16View(text));
}

void SM_ReadPrinterName(WCHAR* name)
{
    ReadKeptKey(kSectionPrinter, kKeyPrinterName, name, kPrinterNameUnits);
}

// Every profile write rewrites the whole file, so a driver write that read
// the file just before ours puts the key back as it was. The values written
// here say the same thing again when repeated, so the key is read back after
// a short pause and written again while it reads as before our write; a
// value or change stamp of the driver's own is its answer and is left alone.
int SM_WriteStatusKey(const wchar_t* key, const wchar_t* value)
{
    const SM_KeyState before = ReadStateBefore(key);
    if (!MISC_WriteProfileStringRetry(g_szStatusFile, kSectionPrinter, key, value))
        return 0;
    SM_ReadBackTally tally;
    for (int check = 1; check <= kReadBacks; ++check) {
        Sleep(kReadBackPauseMs);
        switch (SM_TallyReadBack(tally, before, ReadKeyState(key), U16View(value))) {
        case SM_ReadBackStep::Kept:
            return 1;
        case SM_ReadBackStep::Answered:
            TRACE_Tag(kTagWrite, L"%ls: the driver has written since ours, left alone", key);
            return 1;
        case SM_ReadBackStep::WriteAgain:
            TRACE_Tag(kTagWrite, L"%ls = %ls lost to another writer, written again (%d)", key, value, check);
            if (!MISC_WriteProfileStringRetry(g_szStatusFile, kSectionPrinter, key, value))
                return 0;
            break;
        case SM_ReadBackStep::LookAgain:
            break;
        }
    }
    TRACE_TagError(kTagWrite, L"%ls = %ls not kept after %d read-backs", key, value, kReadBacks);
    return 0;
}

int GetErrCode(int* list, int* count)
{
    WCHAR status[kTextUnits] = L"";
    int length = ReadKeptKey(kSectionPrinter, kKeyStatus, status, kTextUnits);
    *count = SM_ParseStatus(U16View(status, length < 0 ? 0 : length), list, U16(g_szStoreName), kTextUnits);
    return *count;
}
