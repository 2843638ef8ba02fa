#include <gtest/gtest.h>

#include "app/command_line.h"
#include "common/os_version.h"
#include "common/path_names.h"

TEST(PathNames, StampAndExtensions)
{
    EXPECT_EQ(PATH_FormatStamp(12, 34, 567, 45, 67), u"12_34_567_45_67");
    EXPECT_EQ(PATH_ApplyStamp(u"C:\\t\\$1A2B.tmp", u"12_34_567_45_67"), u"C:\\t\\$1A2B12_34_567_45_67");
    EXPECT_EQ(PATH_ApplyStamp(u"noext", u"1_2_3_4_5"), u"noext1_2_3_4_5");

    EXPECT_EQ(PATH_SetExtension(u"C:\\a.b\\$1A2B1_2_3_4_5", u".txt"), u"C:\\a.b\\$1A2B1_2_3_4_5.txt");
    EXPECT_EQ(PATH_SetExtension(u"C:\\a\\$x.txt", u".bmp"), u"C:\\a\\$x.bmp");
    EXPECT_EQ(PATH_SetExtension(u"name", u".spl"), u"name.spl");
}

TEST(PathNames, ModuleBaseName)
{
    EXPECT_EQ(PATH_ModuleBaseName(u"C:\\Program Files\\x\\mfpsm.exe"), u"mfpsm");
    EXPECT_EQ(PATH_ModuleBaseName(u"C:\\d\\abc.sm.exe"), u"abc.sm");
    EXPECT_EQ(PATH_ModuleBaseName(u"C:\\d\\noext"), u"noext");
    EXPECT_EQ(PATH_ModuleBaseName(u"plain.exe"), u"plain");
    EXPECT_EQ(PATH_ModuleBaseName(u"C:\\dir.v2\\tool"), u"tool");
}

TEST(PathNames, RandomNumbersStayWithinOneTo99)
{
    EXPECT_EQ(PATH_RandomOneTo99(0), 1);
    EXPECT_EQ(PATH_RandomOneTo99(32767), 99);
    EXPECT_EQ(PATH_RandomOneTo99(16384), 50);
}

TEST(OsVersionCode, FollowsTheVersionTable)
{
    const struct {
        bool ok;
        uint32_t platform, major, minor, code;
    } cases[] = {
        {false, 2, 10, 0, 1},  {true, 0, 3, 10, 2},   {true, 1, 4, 0, 4},      {true, 1, 4, 90, 16},
        {true, 1, 4, 10, 8},   {true, 2, 3, 51, 32},  {true, 2, 4, 0, 64},     {true, 2, 5, 1, 256},
        {true, 2, 6, 1, 2048}, {true, 2, 6, 2, 4096}, {true, 2, 6, 3, 8192},   {true, 2, 6, 0, 512},
        {true, 2, 10, 0, 16384}, {true, 3, 10, 0, 128},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SM_OsVersionCodeFor(c.ok, c.platform, c.major, c.minor), c.code)
            << c.platform << " " << c.major << "." << c.minor;
    EXPECT_FALSE(SM_IsNTFamily(16));
    EXPECT_TRUE(SM_IsNTFamily(32));
}

// The logon start is the path, in quotes when it holds a space, and the
// command word that makes the monitor.
TEST(PathNames, AutostartCommandIsTheQuotedPathAndTheLogonWord)
{
    EXPECT_EQ(PATH_AutostartCommand(u"C:\\Program Files\\Orvanite\\mfpsm.exe"),
              u"\"C:\\Program Files\\Orvanite\\mfpsm.exe\" logon");
    const std::u16string plain = PATH_AutostartCommand(u"C:\\Orvanite\\mfpsm.exe");
    EXPECT_EQ(plain, u"C:\\Orvanite\\mfpsm.exe logon");
    EXPECT_EQ(SM_CommandWordOf(std::u16string_view(plain).substr(plain.rfind(u' ') + 1)), CommandWord::Logon);
}
