#include "common/printers.h"

#include <winspool.h>

#include <vector>

#include "common/trace.h"

namespace {

constexpr const wchar_t* kTag = L"MISC_IsListedPrinter";

// 0 when one of the records that enumerate gives at level names the
// printer (same tells the names apart); ERROR_INVALID_PRINTER_NAME when
// none does; the spooler's error when it could not list them.
template <typename Info, typename Enumerate, typename Same>
DWORD Listed(Enumerate enumerate, DWORD flags, DWORD level, Same same)
{
    DWORD needed = 0, returned = 0;
    if (!enumerate(flags, level, nullptr, 0, &needed, &returned) && GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return GetLastError();
    if (needed == 0)
        return ERROR_INVALID_PRINTER_NAME;
    std::vector<BYTE> buffer(needed);
    if (!enumerate(flags, level, buffer.data(), needed, &needed, &returned))
        return GetLastError();
    const Info* infos = reinterpret_cast<const Info*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
        if (infos[i].pPrinterName && same(infos[i].pPrinterName))
            return 0;
    }
    return ERROR_INVALID_PRINTER_NAME;
}

// The answer of the two forms: 1, or 0 with the reason as the last error.
int ListingResult(DWORD error, const wchar_t* name)
{
    if (error == 0)
        return 1;
    if (error == ERROR_INVALID_PRINTER_NAME)
        TRACE_TagError(kTag, L"printer %ls is not listed", name);
    else
        TRACE_TagError(kTag, L"printers can't be listed (%lu)", error);
    SetLastError(error);
    return 0;
}

} // namespace

int MISC_IsListedPrinterW(const WCHAR* name)
{
    if (!name || !name[0]) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return 0;
    }
    auto enumerate = [](DWORD flags, DWORD level, BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) {
        return EnumPrintersW(flags, nullptr, level, buffer, size, needed, returned);
    };
    auto same = [name](const WCHAR* listed) { return lstrcmpiW(listed, name) == 0; };
    return ListingResult(Listed<PRINTER_INFO_4W>(enumerate, PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, 4, same), name);
}

int MISC_IsListedPrinterA(const char* name)
{
    if (!name || !name[0]) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return 0;
    }
    auto enumerate = [](DWORD flags, DWORD level, BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) {
        return EnumPrintersA(flags, nullptr, level, buffer, size, needed, returned);
    };
    auto same = [name](const char* listed) { return lstrcmpiA(listed, name) == 0; };
    return ListingResult(Listed<PRINTER_INFO_5A>(enumerate, PRINTER_ENUM_LOCAL, 5, same), L"(ANSI name)");
}
