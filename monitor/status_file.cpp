#include "monitor/status_file.h"

#include "common/globals.h"
#include "common/profile.h"
#include "common/utf16.h"
#include "monitor/status_syntax.h"

static_assert(kErrCodeSlots == kMaxErrCodes, "one size of error code list");

int SM_ReadStatusInt(const wchar_t* section, const wchar_t* key, int def)
{
    // The profile API returns UINT; negative numbers come back as their bits.
    return static_cast<int>(GetPrivateProfileIntW(section, key, def, g_szStatusFile));
}

DWORD SM_ReadJobID()
{
    return static_cast<DWORD>(SM_ReadStatusInt(kSectionJob, kKeyJobID, 0));
}

void SM_ReadPrinterName(WCHAR* name)
{
    GetPrivateProfileStringW(kSectionPrinter, kKeyPrinterName, L"", name, kPrinterNameUnits, g_szStatusFile);
}

int SM_WriteStatusKey(const wchar_t* key, const wchar_t* value)
{
    return MISC_WriteProfileStringRetry(g_szStatusFile, kSectionPrinter, key, value);
}

int GetErrCode(int* list, int* count)
{
    WCHAR status[kTextUnits] = L"";
    DWORD length = GetPrivateProfileStringW(kSectionPrinter, kKeyStatus, L"", status, kTextUnits, g_szStatusFile);
    *count = SM_ParseStatus(U16View(status, length), list, U16(g_szStoreName), kTextUnits);
    return *count;
}
