#include "monitor/status_file.h"

#include <cwchar>

#include "common/globals.h"
#include "common/profile.h"
#include "common/text.h"
#include "common/utf16.h"
#include "monitor/status_syntax.h"

static_assert(kErrCodeSlots == kMaxErrCodes, "one size of error code list");

namespace {

constexpr int kKeptKeyAttempts = 4;
constexpr DWORD kKeptKeyPauseMs = 5;
constexpr const wchar_t* kMissingMark = L"\x1";  // no value the driver writes
constexpr int kNumberUnits = 32;

// The profile functions rewrite the whole file for every key written, and a
// read from another process at that moment finds it empty or cut short. A
// key the driver keeps in the file is therefore read again, a few
// milliseconds apart, before it counts as missing. Returns its length, or -1
// (and value "") when it is still missing.
int ReadKeptKey(const wchar_t* section, const wchar_t* key, WCHAR* value, DWORD units)
{
    for (int attempt = 1;; ++attempt) {
        DWORD length = GetPrivateProfileStringW(section, key, kMissingMark, value, units, g_szStatusFile);
        if (wcscmp(value, kMissingMark) != 0)
            return static_cast<int>(length);
        if (attempt == kKeptKeyAttempts) {
            value[0] = L'\0';
            return -1;
        }
        Sleep(kKeptKeyPauseMs);
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

int SM_WriteStatusKey(const wchar_t* key, const wchar_t* value)
{
    return MISC_WriteProfileStringRetry(g_szStatusFile, kSectionPrinter, key, value);
}

int GetErrCode(int* list, int* count)
{
    WCHAR status[kTextUnits] = L"";
    int length = ReadKeptKey(kSectionPrinter, kKeyStatus, status, kTextUnits);
    *count = SM_ParseStatus(U16View(status, length < 0 ? 0 : length), list, U16(g_szStoreName), kTextUnits);
    return *count;
}
