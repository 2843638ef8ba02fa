// The main of every Windows test program. Standard output to a pipe is fully
// buffered by the C runtime; unbuffered, whatever a test printed before it
// hung is in CTest's log when the time-out ends it, naming the test.
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
