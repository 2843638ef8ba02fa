// Trace bookkeeping and line building under any sequence of entries, exits
// and messages: the stack is never left, depth and index never go negative,
// and no line outgrows the 1024-unit buffer.
#include "common/trace_line.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::vector<std::u16string> texts = FuzzTexts(data + 1, size - 1);
    TraceStack stack;
    size_t next = 0;
    auto text = [&]() -> const std::u16string& { return texts[next++ % texts.size()]; };
    for (size_t i = 0; i < size; ++i) {
        switch (data[i] % 5) {
        case 0:
            TRACE_PushName(stack, text());
            break;
        case 1:
            FUZZ_CHECK(TRACE_PopName(stack).size() < kTraceNameUnits);
            break;
        case 2:
            FUZZ_CHECK(TRACE_LineIn(stack.depth, text()).size() < kTraceLineUnits);
            break;
        case 3:
            FUZZ_CHECK(TRACE_LineMsg(stack.depth, TRACE_CurrentName(stack), text(), data[i] & 8).size() <
                       kTraceLineUnits);
            break;
        default:
            FUZZ_CHECK(TRACE_LineTag(text(), text(), data[i] & 8).size() < kTraceLineUnits);
            FUZZ_CHECK(TRACE_LineOut(stack.depth, text()).size() < kTraceLineUnits);
            break;
        }
        FUZZ_CHECK(stack.depth >= 0 && stack.index >= 0 && stack.depth == 2 * stack.index);
        FUZZ_CHECK(TRACE_CurrentName(stack).size() < kTraceNameUnits);
    }
    return 0;
}
