#include "common/trace_line.h"

#include "common/text.h"

namespace {

std::u16string Indent(int depth)
{
    int n = depth < 0 ? 0 : (depth > kTraceMaxIndent ? kTraceMaxIndent : depth);
    return std::u16string(static_cast<size_t>(n), u'+');
}

// Every line is assembled in one buffer of kTraceLineUnits; longer lines are cut.
std::u16string Cut(std::u16string line)
{
    if (line.size() > kTraceLineUnits - 1)
        line.resize(kTraceLineUnits - 1);
    return line;
}

bool InStack(int index)
{
    return index >= 0 && index < kTraceStackEntries;
}

} // namespace

int TRACE_PushName(TraceStack& stack, std::u16string_view name)
{
    int before = stack.depth;
    stack.depth += 2;
    if (InStack(stack.index))
        MISC_CopyText(stack.names[stack.index], kTraceNameUnits, name);
    ++stack.index;
    return before;
}

std::u16string_view TRACE_PopName(TraceStack& stack)
{
    stack.depth = stack.depth >= 2 ? stack.depth - 2 : 0;
    if (stack.index == 0)
        return {};  // an exit without an entry names nothing
    --stack.index;
    if (!InStack(stack.index))
        return {};
    return std::u16string_view(stack.names[stack.index],
                               MISC_TextLength(stack.names[stack.index], kTraceNameUnits));
}

std::u16string_view TRACE_CurrentName(const TraceStack& stack)
{
    int top = stack.index - 1;
    if (!InStack(top))
        return {};
    return std::u16string_view(stack.names[top], MISC_TextLength(stack.names[top], kTraceNameUnits));
}

std::u16string TRACE_LineIn(int depthBefore, std::u16string_view name)
{
    std::u16string line = Indent(depthBefore);
    line += name;
    line += u" in, ";
    line += MISC_IntToText(depthBefore + 2);
    return Cut(std::move(line));
}

std::u16string TRACE_LineOut(int depth, std::u16string_view name)
{
    std::u16string line = Indent(depth);
    line += name;
    line += u" out";
    return Cut(std::move(line));
}

std::u16string TRACE_LineMsg(int depth, std::u16string_view function,
                             std::u16string_view message, bool error)
{
    std::u16string line = Indent(depth);
    line += function;
    line += u"::";
    line += message;
    if (error)
        line += kTraceErrorMarker;
    return Cut(std::move(line));
}

std::u16string TRACE_LineTag(std::u16string_view tag, std::u16string_view message, bool error)
{
    std::u16string line = u"[";
    line += tag;
    line += u"]::";
    line += message;
    if (error)
        line += kTraceErrorMarker;
    return Cut(std::move(line));
}
