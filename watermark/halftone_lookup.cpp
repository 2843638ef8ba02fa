#include "watermark/halftone_lookup.h"

#include <cstring>

#include "common/trace.h"
#include "common/utf16.h"
#include "watermark/halftone_tables.h"

void MISC_GetHalftoneTable(DWORD halftoneType, int* width, int* height, BYTE** table)
{
    ScopedTrace trace(kTraceProgress, L"MISC_GetHalftoneTable");
    const HalftoneTable& source = WM_HalftoneTableFor(halftoneType);
    TRACE_Msg(kTraceProgress, L"using %ls", W16(source.name));
    *width = source.size;
    *height = source.size;
    TRACE_Msg(kTraceProgress, L"table size = %d x %d", source.size, source.size);
    const SIZE_T bytes = static_cast<SIZE_T>(source.size) * source.size;
    *table = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, bytes));
    if (!*table) {
        TRACE_Msg(kTraceError, L"MEMALLOC fail!");
        return;
    }
    std::memcpy(*table, source.data, bytes);
}
