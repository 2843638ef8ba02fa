// The kernel and printer handle guards close what they hold, once.
#include <gtest/gtest.h>

#include <type_traits>

#include "common/handle_guards.h"
#include "testkit/spool.h"

namespace {

static_assert(!std::is_copy_constructible_v<ScopedHandle> && !std::is_copy_assignable_v<ScopedHandle>);
static_assert(!std::is_copy_constructible_v<ScopedPrinter> && !std::is_copy_assignable_v<ScopedPrinter>);

bool IsOpen(HANDLE handle)
{
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

} // namespace

TEST(HandleGuards, HandleIsClosedAndNoHandleIsLeftAlone)
{
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(IsOpen(event));
    {
        ScopedHandle guard(event);
        EXPECT_TRUE(guard.Valid());
        EXPECT_EQ(guard.Get(), event);
    }
    EXPECT_FALSE(IsOpen(event));

    // Either failure value of the kernel functions is no handle.
    ScopedHandle none(nullptr);
    ScopedHandle invalid(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(none.Valid());
    EXPECT_FALSE(invalid.Valid());
}

TEST(HandleGuards, PrinterIsClosedOnceWhetherTakenAtOnceOrAdopted)
{
    SpoolSandbox spool;
    SpoolPrinterSeed seed;
    seed.name = L"Office MFP";
    spool.AddPrinter(seed);
    wchar_t name[] = L"Office MFP";
    {
        HANDLE printer = nullptr;
        ASSERT_TRUE(OpenPrinterW(name, &printer, nullptr));
        ScopedPrinter guard(printer);
        EXPECT_EQ(guard.Get(), printer);
        ScopedPrinter adopted;
        EXPECT_EQ(adopted.Get(), nullptr);
        HANDLE second = nullptr;
        ASSERT_TRUE(OpenPrinterW(name, &second, nullptr));
        adopted.Adopt(second);
        EXPECT_TRUE(spool.Calls(L"ClosePrinter").empty());
    }
    EXPECT_EQ(spool.Calls(L"ClosePrinter").size(), 2u);
    {
        ScopedPrinter none;
    }
    EXPECT_EQ(spool.Calls(L"ClosePrinter").size(), 2u);
}
