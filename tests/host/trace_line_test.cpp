#include <gtest/gtest.h>

#include "common/trace_line.h"

TEST(TraceLine, MarkerIs44Characters)
{
    EXPECT_EQ(kTraceErrorMarker.size(), 44u);
    EXPECT_EQ(kTraceErrorMarker.substr(38), u">ERROR");
    EXPECT_EQ(kTraceErrorMarker.find_first_not_of(u'-'), 38u);
}

TEST(TraceLine, LinesHaveTheirShapes)
{
    EXPECT_EQ(TRACE_LineIn(0, u"WinMain"), u"WinMain in, 2");
    EXPECT_EQ(TRACE_LineIn(4, u"MISC_GetPathName"), u"++++MISC_GetPathName in, 6");
    EXPECT_EQ(TRACE_LineOut(2, u"GetErrCode"), u"++GetErrCode out");
    EXPECT_EQ(TRACE_LineMsg(2, u"f", u"rc = 1", false), u"++f::rc = 1");
    EXPECT_EQ(TRACE_LineMsg(0, u"", u"x", true), u"::x" + std::u16string(kTraceErrorMarker));
    EXPECT_EQ(TRACE_LineTag(u"MISC_Remove", u"remove file a", false), u"[MISC_Remove]::remove file a");
    EXPECT_EQ(TRACE_LineTag(u"T", u"bad", true), u"[T]::bad" + std::u16string(kTraceErrorMarker));
}

TEST(TraceLine, IndentIsClampedAndLinesAreCut)
{
    EXPECT_EQ(TRACE_LineOut(-6, u"n"), u"n out");
    std::u16string deep = TRACE_LineOut(2000, u"n");
    EXPECT_EQ(deep, std::u16string(512, u'+') + u"n out");

    std::u16string longMessage(5000, u'x');
    EXPECT_EQ(TRACE_LineTag(u"T", longMessage, true).size(), kTraceLineUnits - 1);
    EXPECT_EQ(TRACE_LineMsg(0, u"f", longMessage, false).size(), kTraceLineUnits - 1);
}

TEST(TraceStack, PushAndPopKeepTheBookkeeping)
{
    TraceStack stack;
    EXPECT_EQ(TRACE_PushName(stack, u"outer"), 0);
    EXPECT_EQ(TRACE_PushName(stack, u"inner"), 2);
    EXPECT_EQ(stack.depth, 4);
    EXPECT_EQ(TRACE_CurrentName(stack), u"inner");
    EXPECT_EQ(TRACE_PopName(stack), u"inner");
    EXPECT_EQ(TRACE_CurrentName(stack), u"outer");
    EXPECT_EQ(TRACE_PopName(stack), u"outer");
    EXPECT_EQ(TRACE_CurrentName(stack), u"");

    // An exit without an entry leaves depth and index at 0.
    TRACE_PopName(stack);
    EXPECT_EQ(stack.depth, 0);
    EXPECT_EQ(stack.index, 0);
}

TEST(TraceStack, LongNamesAreCutAndDeepNestingStaysInside)
{
    TraceStack stack;
    std::u16string longName(80, u'n');
    TRACE_PushName(stack, longName);
    EXPECT_EQ(TRACE_CurrentName(stack).size(), kTraceNameUnits - 1);

    for (int i = 1; i < 70; ++i)
        TRACE_PushName(stack, u"deep");
    EXPECT_EQ(stack.index, 70);
    EXPECT_EQ(stack.depth, 140);
    EXPECT_EQ(TRACE_CurrentName(stack), u"");
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(TRACE_PopName(stack), u"");
    EXPECT_EQ(TRACE_PopName(stack), u"deep");  // index 49, the last entry kept
}
