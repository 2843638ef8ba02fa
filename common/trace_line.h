// Trace bookkeeping and line building: plain values in, plain lines out. The
// Windows half (common/trace.h) decides whether a line is emitted and where to.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

constexpr int kTraceStackEntries = 50;    // function names remembered
constexpr size_t kTraceNameUnits = 50;    // per name, terminator included
constexpr size_t kTraceLineUnits = 1024;  // line buffer, terminator included
constexpr int kTraceMaxIndent = 512;
constexpr std::u16string_view kTraceErrorMarker = u"-------------------------------------->ERROR";

// Nesting depth (steps of 2) and the stack of entered function names.
// Nesting deeper than the stack keeps counting but stores nothing.
struct TraceStack {
    int depth = 0;
    int index = 0;
    char16_t names[kTraceStackEntries][kTraceNameUnits] = {};
};

// Entry: records name at the current index (also while lines are filtered
// out, so a later error line names the right function), raises depth by 2
// and the index by 1. Returns the depth before the entry.
int TRACE_PushName(TraceStack& stack, std::u16string_view name);

// Exit: lowers depth by 2 and the index by 1, neither below 0. Returns the
// name at the new index (empty when it lies outside the stack).
std::u16string_view TRACE_PopName(TraceStack& stack);

// Name of the function entered last; empty while nothing is entered.
std::u16string_view TRACE_CurrentName(const TraceStack& stack);

// "+" x depth, name, " in, " and depth + 2.
std::u16string TRACE_LineIn(int depthBefore, std::u16string_view name);
// "+" x depth, name, " out".
std::u16string TRACE_LineOut(int depth, std::u16string_view name);
// "+" x depth, function, "::", message, and the error marker when asked.
std::u16string TRACE_LineMsg(int depth, std::u16string_view function,
                             std::u16string_view message, bool error);
// "[" tag "]" "::" message, and the error marker when asked.
std::u16string TRACE_LineTag(std::u16string_view tag, std::u16string_view message, bool error);
