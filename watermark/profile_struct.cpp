#include "watermark/profile_struct.h"

#include <string_view>

#include "common/trace.h"
#include "watermark/base64.h"
#include "watermark/heap_block.h"

namespace {

constexpr const wchar_t* kTag = L"MISC_GetPrivateProfileStruct";

} // namespace

BOOL MISC_GetPrivateProfileStruct(const WCHAR* section, const WCHAR* key, void* record,
                                  UINT recordSize, const WCHAR* iniPath)
{
    const size_t encoded = MISC_Base64Length(recordSize);
    // One unit more than a full value and its terminator: the profile call
    // cuts what does not fit, so an overlong value would otherwise pass as
    // a value of exactly the right length.
    const DWORD units = static_cast<DWORD>(encoded + 2);
    HeapBlock text(units * sizeof(WCHAR));
    HeapBlock bytes(encoded + 1);
    if (!text.get() || !bytes.get()) {
        TRACE_TagError(kTag, L"MEMALLOC fail!");
        return FALSE;
    }
    DWORD read = GetPrivateProfileStringW(section, key, L"", text.as<WCHAR>(), units, iniPath);
    if (read == 0) {
        TRACE_TagError(kTag, L"read INI fail!");
        return FALSE;
    }
    if (read > encoded) {
        TRACE_TagError(kTag, L"convert to unicode fail! err code = %d", ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.as<WCHAR>(), -1, bytes.as<char>(),
                                static_cast<int>(encoded + 1), nullptr, nullptr);
    if (n <= 0) {
        TRACE_TagError(kTag, L"convert to unicode fail! err code = %d", static_cast<int>(GetLastError()));
        return FALSE;
    }
    MISC_Base64Decode(std::string_view(bytes.as<char>(), static_cast<size_t>(n - 1)),
                      static_cast<uint8_t*>(record), recordSize);
    return TRUE;
}
