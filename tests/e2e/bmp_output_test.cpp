// Where the shipped program's "CreateTextBMP" job puts its picture when the
// record names a file that is not a picture of its own: somebody's document,
// a link, a device, a read-only file; and a job killed while it writes.
// Whatever happens, no other file changes, no part of a picture is ever at
// the target, no temporary file stays, and the job ends with 1; with 3 when
// another process keeps the old picture open for more than about 2 s.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "testkit/watermark_job.h"
#include "testkit/wine_test.h"
#include "watermark/settings.h"

namespace {

constexpr DWORD kTimeoutMs = 60000;
const std::vector<unsigned char> kOldBmp = {'B', 'M', 'o', 'l', 'd', ' ', 'p', 'i', 'c'};

size_t BmpBytes(int width, int height)
{
    return 62 + ((static_cast<size_t>(width) + 31) / 32) * 4 * static_cast<size_t>(height);
}

// A symbolic link made the way Wine keeps them: a Unix link, made by the
// Unix ln started through Wine; false when that is not possible.
bool MakeLink(const std::wstring& link, const std::wstring& target)
{
    using ToUnix = char*(CDECL*)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return false;
    char* unixLink = toUnix(link.c_str());
    char* unixTarget = toUnix(target.c_str());
    bool started = false;
    if (unixLink && unixTarget) {
        std::string command = std::string("Z:\\bin\\ln -s \"") + unixTarget + "\" \"" + unixLink + "\"";
        std::wstring wide(command.begin(), command.end());
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        started = CreateProcessW(nullptr, &wide[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
        if (started) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    }
    HeapFree(GetProcessHeap(), 0, unixLink);
    HeapFree(GetProcessHeap(), 0, unixTarget);
    // A Unix program started this way cannot be waited for: watch for the link.
    for (DWORD start = GetTickCount(); started && GetTickCount() - start < 10000; Sleep(20)) {
        if (GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
    }
    return false;
}

class BmpOutput : public ::testing::Test {
protected:
    std::wstring Ini() const { return scratch_.File(L"job.ini"); }

    void WriteRecord(const JobWM& job)
    {
        ASSERT_TRUE(WritePrivateProfileStringW(L"Job Information", L"Param", EncodedJob(job).c_str(), Ini().c_str()));
    }
    std::wstring Command() const { return L"\"" + BesideTest(L"mfpsm.exe") + L"\" CreateTextBMP \"" + Ini() + L"\""; }
    void Run(const std::wstring& bmp, int width = 64, int height = 32)
    {
        WriteRecord(SmallWatermarkJob(bmp, L"DRAFT", width, height));
        EXPECT_EQ(RunBeside(L"mfpsm.exe", L"CreateTextBMP \"" + Ini() + L"\"", kTimeoutMs), 1)
            << "one-shot commands end with 1";
    }
    static uint64_t SizeOf(const std::wstring& path)
    {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
            return 0;
        return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    // Files of folder whose names start with "~": temporary files left over.
    static std::vector<std::wstring> Leftovers(const std::wstring& folder)
    {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"~*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do
            names.push_back(found.cFileName);
        while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    }

    ScratchDir scratch_;
};

} // namespace

TEST_F(BmpOutput, DocumentNamedByTheRecordIsLeftAlone)
{
    std::wstring document = scratch_.File(L"thesis.docx");
    const char content[] = "PK\x03\x04 the thesis, chapter one";
    ASSERT_TRUE(WriteAllBytes(document, content, sizeof(content)));
    Run(document);
    EXPECT_EQ(ReadAllBytes(document), std::vector<unsigned char>(content, content + sizeof(content)));
    EXPECT_TRUE(Leftovers(scratch_.Path()).empty());

    // An older picture and an empty file are the job's to replace.
    std::wstring bmp = scratch_.File(L"wm.bmp");
    for (size_t bytes : {kOldBmp.size(), size_t{0}}) {
        ASSERT_TRUE(WriteAllBytes(bmp, kOldBmp.data(), bytes));
        Run(bmp);
        EXPECT_EQ(ReadAllBytes(bmp).size(), BmpBytes(64, 32));
    }
    EXPECT_TRUE(Leftovers(scratch_.Path()).empty());
}

TEST_F(BmpOutput, ReadOnlyPictureIsLeftAlone)
{
    std::wstring bmp = scratch_.File(L"wm.bmp");
    ASSERT_TRUE(WriteAllBytes(bmp, kOldBmp.data(), kOldBmp.size()));
    ASSERT_TRUE(SetFileAttributesW(bmp.c_str(), FILE_ATTRIBUTE_READONLY));
    Run(bmp);
    SetFileAttributesW(bmp.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadAllBytes(bmp), kOldBmp);
    EXPECT_TRUE(Leftovers(scratch_.Path()).empty());
}

TEST_F(BmpOutput, DeviceNamesWriteNothing)
{
    for (const std::wstring& name : {scratch_.File(L"NUL.bmp"), scratch_.File(L"com1"), std::wstring(L"\\\\.\\NUL"),
                                     scratch_.File(L"wm.bmp:hidden"), std::wstring(L"wm.bmp")}) {
        Run(name);
        EXPECT_TRUE(Leftovers(scratch_.Path()).empty()) << std::string(name.begin(), name.end());
    }
    // A name without a folder would land in the job's current folder, ours.
    WCHAR current[MAX_PATH] = L"";
    ASSERT_NE(GetCurrentDirectoryW(MAX_PATH, current), 0u);
    EXPECT_FALSE(FileExists(scratch_.File(L"wm.bmp")));
    const std::wstring stray = std::wstring(current) + L"\\wm.bmp";
    EXPECT_FALSE(FileExists(stray));
    DeleteFileW(stray.c_str());
}

// A link planted at the target is never written through: the file it points
// to stays byte for byte, a document or a picture.
TEST_F(BmpOutput, FileBehindALinkIsNeverWritten)
{
    ScratchDir elsewhere;
    std::wstring document = elsewhere.File(L"thesis.docx");
    const char content[] = "the thesis";
    ASSERT_TRUE(WriteAllBytes(document, content, sizeof(content)));
    std::wstring picture = elsewhere.File(L"logo.bmp");
    ASSERT_TRUE(WriteAllBytes(picture, kOldBmp.data(), kOldBmp.size()));

    std::wstring toDocument = scratch_.File(L"doc.bmp"), toPicture = scratch_.File(L"pic.bmp");
    ASSERT_TRUE(MakeLink(toDocument, document));
    ASSERT_TRUE(MakeLink(toPicture, picture));
    Run(toDocument);
    Run(toPicture);
    EXPECT_EQ(ReadAllBytes(document), std::vector<unsigned char>(content, content + sizeof(content)));
    EXPECT_EQ(ReadAllBytes(picture), kOldBmp);
    // The link to a picture is refused where the platform reports it as a
    // link, or else replaced by a whole picture of its own.
    std::vector<unsigned char> atLink = ReadAllBytes(toPicture);
    EXPECT_TRUE(atLink == kOldBmp || atLink.size() == BmpBytes(64, 32)) << atLink.size() << " bytes";
    EXPECT_TRUE(Leftovers(scratch_.Path()).empty());
    DeleteFileW(toDocument.c_str());
    DeleteFileW(toPicture.c_str());
}

// A job killed while it writes a large picture leaves the old picture (or,
// had it just finished, the whole new one), never a part of one, and no
// temporary file.
TEST_F(BmpOutput, KilledJobLeavesTheOldPictureOrTheWholeNewOne)
{
    const int side = 24000;
    std::wstring bmp = scratch_.File(L"wm.bmp");
    ASSERT_TRUE(WriteAllBytes(bmp, kOldBmp.data(), kOldBmp.size()));
    WriteRecord(SmallWatermarkJob(bmp, L"DRAFT", side, side));
    ChildProcess job(Command());
    ASSERT_TRUE(job.Started());
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, job.Id());
    ASSERT_NE(process, nullptr);
    // Writing has begun once a temporary file shows or the target changes;
    // the target is watched meanwhile, and must never hold a part.
    const uint64_t whole = BmpBytes(side, side);
    bool writing = false;
    uint64_t partSeen = 0;
    for (DWORD start = GetTickCount(); !writing && job.Running() && GetTickCount() - start < kTimeoutMs; Sleep(2)) {
        uint64_t size = SizeOf(bmp);
        if (size != kOldBmp.size() && size != whole)
            partSeen = size;
        writing = !Leftovers(scratch_.Path()).empty() || size != kOldBmp.size();
    }
    TerminateProcess(process, 99);
    WaitForSingleObject(process, kTimeoutMs);
    CloseHandle(process);
    EXPECT_TRUE(writing) << "the job ended before it was seen writing";
    EXPECT_EQ(partSeen, 0u) << "a part of a picture was seen at the target";

    std::vector<unsigned char> left = ReadAllBytes(bmp);
    EXPECT_TRUE(left == kOldBmp || left.size() == BmpBytes(side, side)) << left.size() << " bytes";
    // The killed process's handles are closed by the system shortly after.
    for (DWORD start = GetTickCount(); !Leftovers(scratch_.Path()).empty() && GetTickCount() - start < 5000;)
        Sleep(20);
    EXPECT_TRUE(Leftovers(scratch_.Path()).empty());
}

// The driver reading the last picture, or a virus scanner, has it open
// without delete sharing: the job waits for it to let go, up to about 2 s,
// then leaves the old picture whole and ends with 3.
TEST_F(BmpOutput, PictureHeldByAnotherProcess)
{
    const struct {
        DWORD share;
        DWORD releaseAfterMs;  // 0: held until the job has ended
        int exitCode;
    } cases[] = {{FILE_SHARE_READ, 0, 3}, {0, 0, 3}, {FILE_SHARE_READ | FILE_SHARE_WRITE, 500, 1}};
    std::wstring bmp = scratch_.File(L"wm.bmp");
    WriteRecord(SmallWatermarkJob(bmp, L"DRAFT", 64, 32));
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteAllBytes(bmp, kOldBmp.data(), kOldBmp.size()));
        HANDLE held = CreateFileW(bmp.c_str(), GENERIC_READ, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        const DWORD start = GetTickCount();
        ChildProcess job(Command());
        ASSERT_TRUE(job.Started());
        if (c.releaseAfterMs) {
            Sleep(c.releaseAfterMs);
            CloseHandle(held);
        }
        const int exitCode = job.Wait(kTimeoutMs);
        const DWORD took = GetTickCount() - start;
        if (!c.releaseAfterMs)
            CloseHandle(held);
        EXPECT_EQ(exitCode, c.exitCode) << "share " << c.share;
        if (c.exitCode == 3) {
            EXPECT_EQ(ReadAllBytes(bmp), kOldBmp);
            EXPECT_GE(took, 2000u) << "given up without waiting";
        } else {
            EXPECT_EQ(ReadAllBytes(bmp).size(), BmpBytes(64, 32));
        }
        EXPECT_TRUE(Leftovers(scratch_.Path()).empty()) << "share " << c.share;
    }
}
