#include "common/printers.h"

#include <winspool.h>

#include <vector>

#include "common/trace.h"

namespace {

constexpr const wchar_t* kTag = L"MISC_IsListedPrinter";

// True when one of the records that enumerate gives at level names the
// printer (same tells the names apart); false when none does or the
// spooler refuses.
template <typename Info, typename Enumerate, typename Same>
bool Listed(Enumerate enumerate, DWORD flags, DWORD level, Same same)
{
    DWORD needed = 0, returned = 0;
    enumerate(flags, level, nullptr, 0, &needed, &returned);
    if (needed == 0)
        return false;
    std::vector<BYTE> buffer(needed);
    if (!enumerate(flags, level, buffer.data(), needed, &needed, &returned))
        return false;
    const Info* infos = reinterpret_cast<const Info*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
        if (infos[i].pPrinterName && same(infos[i].pPrinterName))
            return true;
    }
    return false;
}

} // namespace

int MISC_IsListedPrinterW(const WCHAR* name)
{
    if (!name || !name[0])
        return 0;
    auto enumerate = [](DWORD flags, DWORD level, BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) {
        return EnumPrintersW(flags, nullptr, level, buffer, size, needed, returned);
    };
    auto same = [name](const WCHAR* listed) { return lstrcmpiW(listed, name) == 0; };
    if (Listed<PRINTER_INFO_4W>(enumerate, PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, 4, same))
        return 1;
    TRACE_TagError(kTag, L"printer %ls is not listed", name);
    return 0;
}

int MISC_IsListedPrinterA(const char* name)
{
    if (!name || !name[0])
        return 0;
    auto enumerate = [](DWORD flags, DWORD level, BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) {
        return EnumPrintersA(flags, nullptr, level, buffer, size, needed, returned);
    };
    auto same = [name](const char* listed) { return lstrcmpiA(listed, name) == 0; };
    if (Listed<PRINTER_INFO_5A>(enumerate, PRINTER_ENUM_LOCAL, 5, same))
        return 1;
    TRACE_TagError(kTag, L"ANSI printer name is not listed");
    return 0;
}
