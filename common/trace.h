// Trace facility and debug lines. Debug lines always go to the debugger
// output; trace lines only when the facility is switched on (see
// g_TraceSwitches), optionally also to a log file in the ANSI code page.
// Formats follow the wide printf rules of this runtime: %ls for UTF-16 text.
#pragma once

#include <windows.h>

constexpr unsigned kTraceProgress = 1;
constexpr unsigned kTraceError = 4;

// True when the minimum level is non-zero and the chosen channel flag is set.
bool TRACE_IsOn();

void TRACE_In(unsigned level, const wchar_t* name);
void TRACE_Out(unsigned level);
void TRACE_Msg(unsigned level, const wchar_t* format, ...);
void TRACE_Tag(const wchar_t* tag, const wchar_t* format, ...);
void TRACE_TagError(const wchar_t* tag, const wchar_t* format, ...);

// A plain debug line: formatted and sent straight to the debugger output.
void MISC_DebugPrint(const wchar_t* format, ...);

// Pairs TRACE_In with TRACE_Out on every way out of a function.
class ScopedTrace {
public:
    ScopedTrace(unsigned level, const wchar_t* name) : level_(level) { TRACE_In(level, name); }
    ~ScopedTrace() { TRACE_Out(level_); }
    ScopedTrace(const ScopedTrace&) = delete;
    ScopedTrace& operator=(const ScopedTrace&) = delete;

private:
    unsigned level_;
};
