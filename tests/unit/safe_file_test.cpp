// Writing a file whose name another process hands in: MISC_WriteFileSafely
// against the real file system, with writers that succeed and fail.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/safe_file.h"
#include "testkit/wine_test.h"

namespace {

const std::vector<unsigned char> kOldBmp = {'B', 'M', 'o', 'l', 'd'};
const std::vector<unsigned char> kNewBmp = {'B', 'M', 'n', 'e', 'w', '!', '!'};

bool WriteBytes(HANDLE file, const std::vector<unsigned char>& bytes)
{
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// Files of the folder whose names start with "~": temporary files left over.
std::vector<std::wstring> Leftovers(const ScratchDir& dir)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(dir.File(L"~*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

class SafeFile : public ::testing::Test {
protected:
    // Runs the write with a writer that counts its calls.
    int Write(const std::wstring& target, const std::vector<unsigned char>& bytes = kNewBmp)
    {
        return MISC_WriteFileSafely(target.c_str(), [&](HANDLE file) {
            ++writerCalls_;
            return WriteBytes(file, bytes);
        });
    }

    ScratchDir dir_;
    int writerCalls_ = 0;
};

} // namespace

TEST_F(SafeFile, NewEmptyAndBmpTargetsAreWrittenWhole)
{
    std::wstring target = dir_.File(L"wm.bmp");
    EXPECT_EQ(Write(target), 1);
    EXPECT_EQ(ReadAllBytes(target), kNewBmp);

    ASSERT_TRUE(WriteAllBytes(target, "", 0));
    EXPECT_EQ(Write(target), 1);
    EXPECT_EQ(ReadAllBytes(target), kNewBmp);

    ASSERT_TRUE(WriteAllBytes(target, kOldBmp.data(), kOldBmp.size()));
    EXPECT_EQ(Write(target), 1);
    EXPECT_EQ(ReadAllBytes(target), kNewBmp);
    EXPECT_TRUE(Leftovers(dir_).empty());
}

// What is neither empty nor a BMP is somebody's document: untouched.
TEST_F(SafeFile, DocumentIsLeftByteForByte)
{
    std::wstring target = dir_.File(L"thesis.docx");
    const char document[] = "PK\x03\x04 chapter one";
    ASSERT_TRUE(WriteAllBytes(target, document, sizeof(document)));
    EXPECT_EQ(Write(target), 0);
    EXPECT_EQ(ReadAllBytes(target), std::vector<unsigned char>(document, document + sizeof(document)));
    EXPECT_EQ(writerCalls_, 0);
    EXPECT_TRUE(Leftovers(dir_).empty());
}

// A writer that stops half-way: the old picture stays and the temporary
// file, removed through its handle, is gone.
TEST_F(SafeFile, FailedWriteKeepsTheOldFile)
{
    std::wstring target = dir_.File(L"wm.bmp");
    ASSERT_TRUE(WriteAllBytes(target, kOldBmp.data(), kOldBmp.size()));
    int result = MISC_WriteFileSafely(target.c_str(), [](HANDLE file) {
        WriteBytes(file, {'B', 'M', 'h', 'a'});
        return false;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadAllBytes(target), kOldBmp);
    EXPECT_TRUE(Leftovers(dir_).empty());
}

TEST_F(SafeFile, ReadOnlyTargetAndFolderAreRefused)
{
    std::wstring target = dir_.File(L"wm.bmp");
    ASSERT_TRUE(WriteAllBytes(target, kOldBmp.data(), kOldBmp.size()));
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Write(target), 0);
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadAllBytes(target), kOldBmp);

    std::wstring folder = dir_.File(L"folder");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    EXPECT_EQ(Write(folder), 0);
    EXPECT_EQ(Write(folder + L"\\"), 0);
    EXPECT_NE(GetFileAttributesW(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    RemoveDirectoryW(folder.c_str());
    EXPECT_EQ(writerCalls_, 0);
    EXPECT_TRUE(Leftovers(dir_).empty());
}

// Devices, the raw namespaces, named streams and names without a folder are
// refused before anything is opened or created.
TEST_F(SafeFile, NamesThatAreNoPlainFileAreRefused)
{
    std::wstring document = dir_.File(L"thesis.docx");
    ASSERT_TRUE(WriteAllBytes(document, "text", 4));
    const std::wstring names[] = {
        dir_.File(L"NUL"), dir_.File(L"con.bmp"), dir_.File(L"COM1.bmp"), L"\\\\.\\NUL",
        L"\\\\?\\GLOBALROOT\\Device\\Null", L"\\\\.\\C:", document + L":wm.bmp", L"wm.bmp",
        dir_.File(L"missing\\wm.bmp"), L"",
    };
    for (const std::wstring& name : names)
        EXPECT_EQ(Write(name), 0) << std::string(name.begin(), name.end());
    EXPECT_EQ(writerCalls_, 0);
    EXPECT_EQ(ReadAllBytes(document), (std::vector<unsigned char>{'t', 'e', 'x', 't'}));
    EXPECT_FALSE(FileExists(L"wm.bmp"));
    EXPECT_TRUE(Leftovers(dir_).empty());
    EXPECT_EQ(MISC_WriteFileSafely(nullptr, [](HANDLE) { return true; }), 0);
}

// What each failure means at each step. Neither rule shows here: no ACL
// refuses a delete, and no byte-range lock refuses a read.
TEST(SafeFileSteps, FailuresAreHeldOnlyWhereWaitingCanHelp)
{
    using P = MISC_TargetPhase;
    using S = MISC_TargetStep;
    const struct {
        P phase;
        DWORD error;
        S step;
    } cases[] = {
        {P::Look, ERROR_FILE_NOT_FOUND, S::Done},
        {P::Look, ERROR_SHARING_VIOLATION, S::Held},  // open without delete sharing
        {P::Look, ERROR_LOCK_VIOLATION, S::Held},
        {P::Look, ERROR_ACCESS_DENIED, S::Refused},   // an ACL or the folder forbids deleting it
        {P::Look, ERROR_PATH_NOT_FOUND, S::Refused},
        {P::Read, ERROR_LOCK_VIOLATION, S::Held},     // a locked range: the old picture is in use
        {P::Read, ERROR_ACCESS_DENIED, S::Refused},
        {P::Read, ERROR_HANDLE_EOF, S::Refused},
        {P::Rename, ERROR_ACCESS_DENIED, S::Held},    // any open handle, delete shared or not
        {P::Rename, ERROR_SHARING_VIOLATION, S::Held},
        {P::Rename, ERROR_LOCK_VIOLATION, S::Held},
        {P::Rename, ERROR_NOT_SAME_DEVICE, S::Refused},
        {P::Rename, ERROR_DISK_FULL, S::Refused},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MISC_TargetStepOfError(c.phase, c.error), c.step)
            << "phase " << static_cast<int>(c.phase) << ", error " << c.error;
}
