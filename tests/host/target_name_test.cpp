#include <gtest/gtest.h>

#include <string>

#include "common/target_name.h"

namespace {

std::string Name(PATH_TargetVerdict v)
{
    switch (v) {
    case PATH_TargetVerdict::Ok: return "Ok";
    case PATH_TargetVerdict::Empty: return "Empty";
    case PATH_TargetVerdict::DeviceNamespace: return "DeviceNamespace";
    case PATH_TargetVerdict::DeviceName: return "DeviceName";
    case PATH_TargetVerdict::StreamName: return "StreamName";
    case PATH_TargetVerdict::NoFolder: return "NoFolder";
    case PATH_TargetVerdict::NamesFolder: return "NamesFolder";
    }
    return "?";
}

} // namespace

TEST(TargetName, WhatAJobMayNameAsItsFile)
{
    const struct {
        const char16_t* path;
        PATH_TargetVerdict verdict;
    } cases[] = {
        {u"C:\\users\\Public\\wm.bmp", PATH_TargetVerdict::Ok},
        {u"C:/users/Public/wm.bmp", PATH_TargetVerdict::Ok},
        {u"\\\\server\\share\\wm.bmp", PATH_TargetVerdict::Ok},
        {u"\\wm.bmp", PATH_TargetVerdict::Ok},
        {u"spool\\wm.bmp", PATH_TargetVerdict::Ok},
        {u"C:\\d\\console.bmp", PATH_TargetVerdict::Ok},
        {u"C:\\d\\COM10", PATH_TargetVerdict::Ok},
        {u"C:\\d\\nul\\wm.bmp", PATH_TargetVerdict::Ok},
        {u"", PATH_TargetVerdict::Empty},
        {u"\\\\.\\PhysicalDrive0", PATH_TargetVerdict::DeviceNamespace},
        {u"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\x.bmp", PATH_TargetVerdict::DeviceNamespace},
        {u"\\\\?\\C:\\d\\wm.bmp", PATH_TargetVerdict::DeviceNamespace},
        {u"//./C:", PATH_TargetVerdict::DeviceNamespace},
        {u"\\??\\C:\\d\\wm.bmp", PATH_TargetVerdict::DeviceNamespace},
        {u"C:\\d\\CON", PATH_TargetVerdict::DeviceName},
        {u"C:\\d\\nul.bmp", PATH_TargetVerdict::DeviceName},
        {u"C:\\d\\Aux .bmp", PATH_TargetVerdict::DeviceName},
        {u"C:\\d\\prn.", PATH_TargetVerdict::DeviceName},
        {u"C:\\d\\com1.bmp", PATH_TargetVerdict::DeviceName},
        {u"C:\\d\\LPT9", PATH_TargetVerdict::DeviceName},
        {u"C:\\d\\COM\u00B9", PATH_TargetVerdict::DeviceName},
        {u"C:\\d\\CONOUT$", PATH_TargetVerdict::DeviceName},
        {u"C:\\d\\thesis.docx:wm.bmp", PATH_TargetVerdict::StreamName},
        {u"C:\\d\\wm.bmp::$DATA", PATH_TargetVerdict::StreamName},
        {u"wm.bmp", PATH_TargetVerdict::NoFolder},
        {u"C:wm.bmp", PATH_TargetVerdict::NoFolder},
        {u"C:", PATH_TargetVerdict::NoFolder},
        {u"C:\\d\\", PATH_TargetVerdict::NamesFolder},
        {u"C:\\d\\..", PATH_TargetVerdict::NamesFolder},
        {u"C:\\d/.", PATH_TargetVerdict::NamesFolder},
    };
    for (const auto& c : cases) {
        std::u16string path(c.path);
        EXPECT_EQ(Name(PATH_CheckTargetName(path)), Name(c.verdict)) << std::string(path.begin(), path.end());
    }
}

TEST(TargetName, FolderPart)
{
    EXPECT_EQ(PATH_FolderLength(u"C:\\d\\wm.bmp"), 5u);
    EXPECT_EQ(PATH_FolderLength(u"C:/d/wm.bmp"), 5u);
    EXPECT_EQ(PATH_FolderLength(u"wm.bmp"), 0u);
}

TEST(TargetName, TempSiblingFitsBesideTheTarget)
{
    EXPECT_EQ(PATH_TempSibling(u"C:\\d\\", 0x1234ABCDu, 260), u"C:\\d\\~1234abcd");
    // Near the limit the digits are cut, the low ones kept, down to four.
    std::u16string folder(260 - 8, u'f');
    EXPECT_EQ(PATH_TempSibling(folder, 0x1234ABCDu, 260), folder + u"~34abcd");
    folder.assign(260 - 6, u'f');
    EXPECT_EQ(PATH_TempSibling(folder, 0x1234ABCDu, 260), folder + u"~abcd");
    folder.assign(260 - 5, u'f');
    EXPECT_EQ(PATH_TempSibling(folder, 0x1234ABCDu, 260), u"");
}
