#include <gtest/gtest.h>

#include "common/profile.h"
#include "testkit/wine_test.h"

TEST(ProfileWrite, WritesAndReportsFailure)
{
    ScratchDir dir;
    std::wstring file = dir.File(L"status.ini");
    const unsigned char mark[] = {0xFF, 0xFE};
    WriteAllBytes(file, mark, 2);
    EXPECT_EQ(MISC_WriteProfileStringRetry(file.c_str(), L"Printer Information", L"Message", L"1028"), 1);
    EXPECT_EQ(GetPrivateProfileIntW(L"Printer Information", L"Message", 0, file.c_str()), 1028u);

    std::wstring unreachable = dir.File(L"no-such-folder\\status.ini");
    EXPECT_EQ(MISC_WriteProfileStringRetry(unreachable.c_str(), L"Printer Information", L"Message", L"0"), 0);
}
