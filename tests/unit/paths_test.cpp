#include <gtest/gtest.h>

#include <process.h>

#include <string>
#include <vector>

#include "common/globals.h"
#include "common/paths.h"
#include "testkit/wine_test.h"

namespace {

std::wstring PathOf(DWORD kind, int* result)
{
    wchar_t text[MAX_PATH];
    *result = MISC_GetPathName(text, MAX_PATH, kind);
    return *result ? std::wstring(text) : std::wstring();
}

std::wstring WithBackslash(std::wstring dir)
{
    if (dir.empty() || dir.back() != L'\\')
        dir += L'\\';
    return dir;
}

std::wstring TempDir()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return temp;
}

std::wstring FileNameOf(const std::wstring& path)
{
    return path.substr(path.rfind(L'\\') + 1);
}

class PathService : public ::testing::Test {
protected:
    void SetUp() override { InitProcessValues(); }
    void TearDown() override { OsVersionCode = SM_GetOsVersionCode(); }
};

} // namespace

TEST_F(PathService, BaseDirectoriesEndInOneBackslash)
{
    wchar_t windows[MAX_PATH], system[MAX_PATH], current[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    GetSystemDirectoryW(system, MAX_PATH);
    GetCurrentDirectoryW(MAX_PATH, current);
    int rc = 0;
    EXPECT_EQ(PathOf(PATH_WINDOW, &rc), WithBackslash(windows));
    EXPECT_EQ(PathOf(PATH_SYSTEM, &rc), WithBackslash(system));
    EXPECT_EQ(PathOf(PATH_CURRENT, &rc), WithBackslash(current));
    EXPECT_EQ(PathOf(PATH_TEMP, &rc), WithBackslash(TempDir()));

    std::wstring driver = std::wstring(system) + L"\\spool\\drivers\\w32x86\\3\\";
    std::wstring got = PathOf(PATH_DRIVER, &rc);
    EXPECT_EQ(rc, MISC_DirExists(driver.c_str()));
    if (rc) {
        EXPECT_EQ(got, driver);
    }
}

TEST_F(PathService, DirectoryEndingInBackslashGetsNoSecond)
{
    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\"));
    int rc = 0;
    EXPECT_EQ(PathOf(PATH_CURRENT, &rc), L"C:\\");
    SetCurrentDirectoryW(saved);
}

TEST_F(PathService, UnknownBaseDirectoryFails)
{
    int rc = 1;
    PathOf(0x30000, &rc);
    EXPECT_EQ(rc, 0);
    PathOf(0x400000 | PATH_FILE_STATUS_NAME, &rc);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(MISC_GetPathName(nullptr, MAX_PATH, PATH_WINDOW), 0);
}

TEST_F(PathService, UserTempFollowsTheFamily)
{
    int rc = 0;
    std::wstring nt = PathOf(PATH_USER_TEMP, &rc);
    ASSERT_EQ(rc, 1);
    EXPECT_NE(nt.find(L"Public\\Documents\\"), std::wstring::npos) << nt.c_str();

    OsVersionCode = 4;  // Windows 95
    EXPECT_EQ(PathOf(PATH_USER_TEMP, &rc), WithBackslash(TempDir()));
}

TEST_F(PathService, StatusFileNameAloneCreatesNothing)
{
    int rc = 0;
    std::wstring path = PathOf(PATH_TEMP | PATH_FILE_STATUS_NAME, &rc);
    EXPECT_EQ(path, WithBackslash(TempDir()) + L"StatusMonitorV3.ini");
}

// The status exchange file cases share one file name in the temp folder.
TEST_F(PathService, StatusFileIsMadeAUtf16File)
{
    std::wstring file = WithBackslash(TempDir()) + L"StatusMonitorV3.ini";
    DeleteFileW(file.c_str());
    int rc = 0;

    // Absent: created as the two bytes FF FE.
    EXPECT_EQ(PathOf(PATH_TEMP | PATH_FILE_STATUS, &rc), file);
    EXPECT_EQ(ReadAllBytes(file), (std::vector<unsigned char>{0xFF, 0xFE}));

    // Present with the mark: left as it is.
    const unsigned char unicode[] = {0xFF, 0xFE, '[', 0, 'x', 0};
    ASSERT_TRUE(WriteAllBytes(file, unicode, sizeof(unicode)));
    PathOf(PATH_TEMP | PATH_FILE_STATUS, &rc);
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(ReadAllBytes(file), std::vector<unsigned char>(unicode, unicode + sizeof(unicode)));

    // Present without the mark: deleted and created again, empty.
    const char ansi[] = "[Printer Information]\r\nMessage=0\r\n";
    ASSERT_TRUE(WriteAllBytes(file, ansi, sizeof(ansi) - 1));
    PathOf(PATH_TEMP | PATH_FILE_STATUS, &rc);
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(ReadAllBytes(file), (std::vector<unsigned char>{0xFF, 0xFE}));
    DeleteFileW(file.c_str());
}

// The driver may hold the file so that it cannot be read for a moment (here:
// open for writing without read sharing): the check fails, and the file,
// which exists, is left as it is rather than opened for writing and emptied.
TEST_F(PathService, StatusFileThatCannotBeOpenedIsLeftAlone)
{
    std::wstring file = WithBackslash(TempDir()) + L"StatusMonitorV3.ini";
    std::vector<unsigned char> content = Utf16File(L"[Printer Information]\r\nPrinterName=Office MFP\r\n");
    ASSERT_TRUE(WriteAllBytes(file, content.data(), content.size()));
    HANDLE held = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    int rc = 0;
    PathOf(PATH_TEMP | PATH_FILE_STATUS, &rc);
    CloseHandle(held);
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(ReadAllBytes(file), content);
    DeleteFileW(file.c_str());
}

namespace {

// The driver's side of a rewrite: the file it has emptied and holds open,
// and what it writes into it 1200 ms later.
struct DriverRewrite {
    HANDLE file;
    std::vector<unsigned char> content;
};

unsigned __stdcall WriteLater(void* arg)
{
    auto* r = static_cast<DriverRewrite*>(arg);
    Sleep(1200);
    DWORD written = 0;
    WriteFile(r->file, r->content.data(), static_cast<DWORD>(r->content.size()), &written, nullptr);
    CloseHandle(r->file);
    return 0;
}

} // namespace

// A file read in the middle of the driver's rewrite lacks its mark for a
// moment: it is looked at once more before it is made anew, and kept when it
// has the mark by then. The driver has emptied the file and writes it through
// the handle it holds, between the check's fifth look (about 800 ms) and that
// last look (at least 1500 ms); a file deleted meanwhile would take the
// write with it.
TEST_F(PathService, StatusFileRewrittenDuringTheCheckIsKept)
{
    std::wstring file = WithBackslash(TempDir()) + L"StatusMonitorV3.ini";
    DriverRewrite rewrite{CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, 0,
                          nullptr),
              Utf16File(L"[Printer Information]\r\nMessage=1027\r\n")};
    ASSERT_NE(rewrite.file, INVALID_HANDLE_VALUE);
    HANDLE writer = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, WriteLater, &rewrite, 0, nullptr));
    if (!writer)
        CloseHandle(rewrite.file);
    ASSERT_NE(writer, nullptr);
    int rc = 0;
    PathOf(PATH_TEMP | PATH_FILE_STATUS, &rc);
    WaitForSingleObject(writer, INFINITE);
    CloseHandle(writer);
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(ReadAllBytes(file), rewrite.content);
    DeleteFileW(file.c_str());
}

TEST_F(PathService, CheckUniFileTellsTheThreeCases)
{
    ScratchDir dir;
    std::wstring good = dir.File(L"good.ini"), plain = dir.File(L"plain.ini");
    const unsigned char mark[] = {0xFF, 0xFE};
    WriteAllBytes(good, mark, 2);
    WriteAllBytes(plain, "ab", 2);
    EXPECT_EQ(MISC_CheckUniFile(good.c_str()), 1);
    EXPECT_EQ(MISC_CheckUniFile(plain.c_str()), -2);
    EXPECT_EQ(MISC_CheckUniFile(dir.File(L"missing.ini").c_str()), -1);
    EXPECT_EQ(MISC_CheckUniFile(nullptr), 0);
}

TEST_F(PathService, NonAnsiPathIsCheckedNotEmptied)
{
    ScratchDir dir;
    std::wstring file = dir.File(L"\u72b6\u6001.ini");
    const unsigned char content[] = {0xFF, 0xFE, 'a', 0};
    ASSERT_TRUE(WriteAllBytes(file, content, sizeof(content)));
    EXPECT_EQ(MISC_CheckUniFile(file.c_str()), 1);
    EXPECT_EQ(ReadAllBytes(file).size(), sizeof(content));
}

TEST_F(PathService, TemporaryNamesCarryStampAndExtension)
{
    const struct {
        DWORD low;
        const wchar_t* extension;
    } cases[] = {{PATH_FILE_TEMP, L""},
                 {PATH_EXT_TXT, L".txt"},
                 {PATH_EXT_BMP, L".bmp"},
                 {PATH_EXT_SPL, L".spl"},
                 {PATH_EXT_TXT | PATH_EXT_BMP, L".bmp"},
                 {PATH_EXT_TXT | PATH_EXT_BMP | PATH_EXT_SPL, L".spl"}};
    for (const auto& c : cases) {
        int rc = 0;
        std::wstring path = PathOf(PATH_TEMP | c.low, &rc);
        ASSERT_EQ(rc, 1);
        EXPECT_EQ(path.substr(0, TempDir().size()), TempDir());
        std::wstring name = FileNameOf(path);
        EXPECT_EQ(name[0], L'$') << name.c_str();
        size_t dot = name.rfind(L'.');
        std::wstring extension = dot == std::wstring::npos ? L"" : name.substr(dot);
        EXPECT_EQ(extension, c.extension) << name.c_str();
        // "$" + the system's unique number (1 to 4 hex digits, no leading
        // zeros) + minute_second_ms_r1_r2, the minute right after the number
        std::wstring base = name.substr(0, name.size() - extension.size());
        size_t firstStamp = base.find(L'_');
        ASSERT_NE(firstStamp, std::wstring::npos) << name.c_str();
        EXPECT_GE(firstStamp, 3u) << name.c_str();
        EXPECT_LE(firstStamp, 7u) << name.c_str();
        EXPECT_EQ(base.find_first_not_of(L"0123456789abcdefABCDEF", 1), firstStamp) << name.c_str();
        EXPECT_EQ(std::count(base.begin(), base.end(), L'_'), 4) << name.c_str();
        EXPECT_FALSE(FileExists(path)) << "only a name is made";
    }
}

namespace {

unsigned __stdcall MakeTempName(void* result)
{
    wchar_t text[MAX_PATH];
    *static_cast<int*>(result) = MISC_GetPathName(text, MAX_PATH, PATH_TEMP | PATH_FILE_TEMP);
    return 0;
}

} // namespace

TEST_F(PathService, TemporaryNamesWaitForTheLock)
{
    HANDLE held = CreateMutexW(nullptr, FALSE, L"MISC_GetPathName");
    ASSERT_NE(held, nullptr);
    int result = -1;
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, MakeTempName, &result, 0, nullptr));
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 500), static_cast<DWORD>(WAIT_TIMEOUT)) << "the lock is held";
    CloseHandle(held);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(thread);
    EXPECT_EQ(result, 1);
}

TEST_F(PathService, WindowTempMissingFails)
{
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring temp = WithBackslash(windows) + L"temp";
    std::wstring aside = temp + L".aside";
    bool existed = MISC_DirExists(temp.c_str());
    if (existed) {
        ASSERT_TRUE(MoveFileW(temp.c_str(), aside.c_str()));
    }
    int rc = 1;
    PathOf(PATH_WINDOW_TEMP, &rc);
    EXPECT_EQ(rc, 0);

    CreateDirectoryW(temp.c_str(), nullptr);
    EXPECT_EQ(PathOf(PATH_WINDOW_TEMP, &rc), temp + L"\\");
    RemoveDirectoryW(temp.c_str());
    if (existed)
        MoveFileW(aside.c_str(), temp.c_str());
}

TEST_F(PathService, SmallFileOperations)
{
    ScratchDir dir;
    std::wstring file = dir.File(L"a.bin");
    EXPECT_EQ(MISC_FileExists(file.c_str()), 0);
    MISC_CreateUniFile(file.c_str());
    EXPECT_EQ(ReadAllBytes(file), (std::vector<unsigned char>{0xFF, 0xFE}));
    EXPECT_EQ(MISC_FileExists(file.c_str()), 1);
    EXPECT_EQ(MISC_DirExists(file.c_str()), 0);
    EXPECT_EQ(MISC_FileExists(dir.Path().substr(0, dir.Path().size() - 1).c_str()), 1);
    EXPECT_EQ(MISC_DirExists(dir.Path().c_str()), 1);
    EXPECT_EQ(MISC_Remove(file.c_str()), 1);
    EXPECT_EQ(MISC_FileExists(file.c_str()), 0);

    wchar_t path[8] = L"C:\\a";
    EXPECT_EQ(MISC_AddBackslash(path, 8), 1);
    EXPECT_STREQ(path, L"C:\\a\\");
    EXPECT_EQ(MISC_AddBackslash(path, 8), 1);
    EXPECT_STREQ(path, L"C:\\a\\");
    EXPECT_EQ(MISC_AddBackslash(nullptr, 8), 0);
}
