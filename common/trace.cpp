#include "common/trace.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>

#include "common/globals.h"
#include "common/trace_line.h"
#include "common/utf16.h"

namespace {

TraceStack g_TraceStack;

bool LevelPasses(unsigned level)
{
    return static_cast<unsigned short>(level) >= g_TraceSwitches.minLevel;
}

// Formats into the facility's 1024-unit line buffer; an overlong message is cut.
std::wstring FormatMessage(const wchar_t* format, va_list args)
{
    wchar_t buffer[kTraceLineUnits];
    buffer[0] = L'\0';
    if (format) {
        int n = vswprintf(buffer, kTraceLineUnits, format, args);
        if (n < 0)
            buffer[kTraceLineUnits - 1] = L'\0';
    }
    return buffer;
}

// Converts to the ANSI code page (no best-fit mapping) within 1023 bytes;
// a line whose bytes do not fit is shortened unit by unit until it does.
std::string ToAnsiLine(const std::u16string& line)
{
    constexpr int kBytes = static_cast<int>(kTraceLineUnits) - 1;
    int units = static_cast<int>(line.size());
    char bytes[kTraceLineUnits];
    while (units > 0) {
        int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, W16(line.data()), units,
                                    bytes, kBytes, nullptr, nullptr);
        if (n > 0)
            return std::string(bytes, static_cast<size_t>(n));
        units -= units > 16 ? units / 16 : 1;
    }
    return {};
}

void AppendToLogFile(const std::u16string& line)
{
    FILE* file = _wfopen(g_TraceSwitches.logFilePath, L"ab");
    if (!file)
        return;
    std::string bytes = ToAnsiLine(line);
    fwrite(bytes.data(), 1, bytes.size(), file);
    fwrite("\r\n", 1, 2, file);
    fclose(file);
}

void Emit(const std::u16string& line)
{
    OutputDebugStringW(W16(line.c_str()));
    if (g_TraceSwitches.logFileFlag && g_TraceSwitches.logFilePath[0])
        AppendToLogFile(line);
}

void EmitTag(const wchar_t* tag, bool error, const wchar_t* format, va_list args)
{
    std::wstring message = FormatMessage(format, args);
    Emit(TRACE_LineTag(U16View(tag), U16View(message.c_str()), error));
}

} // namespace

bool TRACE_IsOn()
{
    const TraceSwitches& s = g_TraceSwitches;
    if (s.minLevel == 0 || s.channel < 1 || s.channel > 5)
        return false;
    return s.channelFlags[s.channel - 1] != 0;
}

void TRACE_In(unsigned level, const wchar_t* name)
{
    bool emit = TRACE_IsOn() && LevelPasses(level);
    std::u16string_view nameView = U16View(name);
    int before = TRACE_PushName(g_TraceStack, nameView);
    if (emit)
        Emit(TRACE_LineIn(before, nameView));
}

void TRACE_Out(unsigned level)
{
    std::u16string_view name = TRACE_PopName(g_TraceStack);
    if (!TRACE_IsOn() || !LevelPasses(level))
        return;
    Emit(TRACE_LineOut(g_TraceStack.depth, name));
    OutputDebugStringW(L" ");
}

void TRACE_Msg(unsigned level, const wchar_t* format, ...)
{
    if (!TRACE_IsOn() || !LevelPasses(level))
        return;
    va_list args;
    va_start(args, format);
    std::wstring message = FormatMessage(format, args);
    va_end(args);
    Emit(TRACE_LineMsg(g_TraceStack.depth, TRACE_CurrentName(g_TraceStack),
                       U16View(message.c_str()), static_cast<unsigned short>(level) == kTraceError));
}

void TRACE_Tag(const wchar_t* tag, const wchar_t* format, ...)
{
    if (!TRACE_IsOn())
        return;
    va_list args;
    va_start(args, format);
    EmitTag(tag, false, format, args);
    va_end(args);
}

void TRACE_TagError(const wchar_t* tag, const wchar_t* format, ...)
{
    if (!TRACE_IsOn())
        return;
    va_list args;
    va_start(args, format);
    EmitTag(tag, true, format, args);
    va_end(args);
}

void MISC_DebugPrint(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    std::wstring line = FormatMessage(format, args);
    va_end(args);
    OutputDebugStringW(line.c_str());
}
