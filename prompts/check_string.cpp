#include "prompts/check_string.h"

#include "common/trace.h"
#include "common/utf16.h"

namespace {

constexpr const wchar_t* kTag = L"MISC_CheckString";
constexpr DWORD kPauseMs = 20;

// Per-unit lines in the order the check ran: every passing unit, then the
// refused one if there is one.
void TraceUnits(const WCHAR* text, unsigned length, size_t passing)
{
    for (size_t i = 0; i < passing; ++i)
        TRACE_Tag(kTag, L"unit 0x%04X pass", static_cast<unsigned>(text[i]));
    if (passing < length)
        TRACE_Tag(kTag, L"unit 0x%04X fail", static_cast<unsigned>(text[passing]));
}

} // namespace

int MISC_CheckString(const WCHAR* text, unsigned length, unsigned kind)
{
    size_t passing = MISC_PassingPrefix(U16(text), length, kind);
    int result = passing == length ? 1 : 0;
    if (kind == kCheckPrintableAscii) {
        TRACE_Tag(kTag, L"kind 0, length %u, result %d", length, result);
    } else {
        TRACE_Tag(kTag, L"kind %u, length %u, text %.*ls", kind, length, static_cast<int>(length), text ? text : L"");
        if (text)
            TraceUnits(text, length, passing);
        TRACE_Tag(kTag, L"result %d", result);
    }
    Sleep(kPauseMs);
    return result;
}
