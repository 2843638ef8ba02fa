#include "common/profile.h"

#include "common/trace.h"

int MISC_WriteProfileStringRetry(const WCHAR* file, const WCHAR* section, const WCHAR* key, const WCHAR* value)
{
    constexpr int kAttempts = 3;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (WritePrivateProfileStringW(section, key, value, file))
            return 1;
    }
    TRACE_TagError(L"MISC_WriteProfileStringRetry", L"write %ls fail!", key ? key : L"");
    return 0;
}
