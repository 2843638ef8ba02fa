// The driver-side library (driverside/) as a printer driver uses it, against
// the shipped program: the status exchange file as a polling reader sees it,
// change stamps across processes, the prompts end to end with stale answers
// and small buffers, and the picture jobs' results.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "driverside/mfpsm_driver.h"
#include "testkit/spool.h"
#include "testkit/wine_test.h"

namespace {

constexpr DWORD kTimeoutMs = 30000;
constexpr const wchar_t* kPrinter = L"Office MFP";
constexpr const wchar_t* kSection = L"Printer Information";

std::wstring StatusFile()
{
    return CommonDocumentsDir() + L"StatusMonitorV3.ini";
}

std::wstring Key(const wchar_t* key, const wchar_t* section = kSection)
{
    wchar_t value[300] = L"";
    GetPrivateProfileStringW(section, key, L"<none>", value, 300, StatusFile().c_str());
    return value;
}

void SetKey(const wchar_t* key, const wchar_t* value)
{
    WritePrivateProfileStringW(kSection, key, value, StatusFile().c_str());
}

std::wstring Program()
{
    return BesideTest(L"mfpsm.exe");
}

class DriversideStatus : public ::testing::Test {
protected:
    void SetUp() override { DeleteFileW(StatusFile().c_str()); }
    void TearDown() override { DeleteFileW(StatusFile().c_str()); }
};

} // namespace

// A reader that polls the file as the monitor does (LastMsg, then Status,
// then JobID) never finds a stamp beside an older status or job: every
// post writes the job and the list before its stamp.
TEST_F(DriversideStatus, AReaderPollingTheFileNeverSeesAStampBeforeItsStatus)
{
    constexpr DWORD kPosts = 100, kStampBefore = 1000000;
    WCHAR path[MAX_PATH];
    ASSERT_EQ(MfpsmDrvStatusFilePath(path, MAX_PATH), ERROR_SUCCESS);
    SetKey(L"LastMsg", std::to_wstring(kStampBefore).c_str());
    std::atomic<bool> done{false};
    std::atomic<int> seen{0}, older{0};
    std::wstring firstOlder;
    std::thread poster([&] {
        for (DWORD post = 1; post <= kPosts; ++post) {
            LONG code = static_cast<LONG>(1000 + post);
            DWORD job = post, stamp = 0;
            ASSERT_EQ(MfpsmDrvPostStatus(kPrinter, &job, &code, 1, nullptr, &stamp), ERROR_SUCCESS);
        }
        done = true;
    });
    // Post k carries code 1000 + k, job k and stamp kStampBefore + k.
    for (bool finished = false; !finished;) {
        finished = done;
        std::wstring stamp = Key(L"LastMsg"), status = Key(L"Status"), job = Key(L"JobID", L"Job Information");
        if (stamp == L"<none>" || status == L"<none>" || job == L"<none>")
            continue;
        DWORD statusPost = wcstoul(status.c_str(), nullptr, 10) - 1000;
        DWORD jobPost = wcstoul(job.c_str(), nullptr, 10);
        DWORD stampPost = wcstoul(stamp.c_str(), nullptr, 10) - kStampBefore;
        if (stampPost == 0)
            continue;
        ++seen;
        if ((statusPost < stampPost || jobPost < statusPost) && older++ == 0)
            firstOlder = L"LastMsg of post " + std::to_wstring(stampPost) + L", Status of post " +
                         std::to_wstring(statusPost) + L", JobID of post " + std::to_wstring(jobPost);
    }
    poster.join();
    EXPECT_GT(seen.load(), 10) << "the reader saw the posts";
    EXPECT_EQ(older.load(), 0) << std::string(firstOlder.begin(), firstOlder.end());
    EXPECT_EQ(Key(L"Message"), L"1027");
    EXPECT_EQ(Key(L"Status"), std::to_wstring(1000 + kPosts) + L"|");
}

// Statuses posted by processes at the same moment, through drvsim: each
// takes a stamp of its own, one more than the one it found.
TEST_F(DriversideStatus, StampsNeverRepeatAcrossProcesses)
{
    constexpr int kProcesses = 4, kPostsEach = 6;
    std::vector<std::vector<DWORD>> stamps(kProcesses);
    std::vector<std::thread> posters;
    for (int p = 0; p < kProcesses; ++p) {
        posters.emplace_back([p, &stamps] {
            for (int i = 0; i < kPostsEach; ++i) {
                int code = -1;
                std::string out = RunCapture(L"\"" + BesideTest(L"drvsim.exe") + L"\" status 33", kTimeoutMs, &code);
                size_t at = out.find("LastMsg=");
                if (code == 0 && at != std::string::npos)
                    stamps[p].push_back(strtoul(out.c_str() + at + 8, nullptr, 10));
            }
        });
    }
    for (std::thread& t : posters)
        t.join();
    std::set<DWORD> distinct;
    DWORD lowest = 0xFFFFFFFFu, highest = 0;
    for (const std::vector<DWORD>& own : stamps) {
        EXPECT_EQ(own.size(), static_cast<size_t>(kPostsEach)) << "every post was made";
        for (DWORD stamp : own) {
            EXPECT_NE(stamp, 0u);
            distinct.insert(stamp);
            lowest = std::min(lowest, stamp);
            highest = std::max(highest, stamp);
        }
    }
    EXPECT_EQ(distinct.size(), static_cast<size_t>(kProcesses * kPostsEach)) << "no stamp taken twice";
    EXPECT_EQ(highest - lowest + 1, static_cast<DWORD>(kProcesses * kPostsEach)) << "each one more than the last";
    EXPECT_EQ(Key(L"LastMsg"), std::to_wstring(highest));

    SetKey(L"LastMsg", L"2147483647");
    DWORD stamp = 0;
    ASSERT_EQ(MfpsmDrvPostStatusText(nullptr, nullptr, L"5|", &stamp), ERROR_SUCCESS);
    EXPECT_EQ(stamp, 1u) << "round again after the largest, never 0";
}

// Input the monitor could not take as written is refused before a byte of
// the file changes.
TEST_F(DriversideStatus, RefusesWhatTheMonitorCouldNotReadBackAndWritesNothing)
{
    LONG codes[MFPSMDRV_MAX_CODES + 1] = {};
    DWORD job = 7;
    ASSERT_EQ(MfpsmDrvPostStatus(kPrinter, &job, codes, 2, nullptr, nullptr), ERROR_SUCCESS);
    const std::vector<unsigned char> before = ReadAllBytes(StatusFile());
    const std::wstring longName(256, L'P'), longStore(240, L's');
    const struct {
        const char* what;
        DWORD (*post)(const std::wstring& a, LONG* codes);
        std::wstring a;
    } cases[] = {
        {"49 codes", [](const std::wstring&, LONG* c) { return MfpsmDrvPostStatus(nullptr, nullptr, c, 49, nullptr, nullptr); }, L""},
        {"no codes to count", [](const std::wstring&, LONG*) { return MfpsmDrvPostStatus(nullptr, nullptr, nullptr, 1, nullptr, nullptr); }, L""},
        {"a bar in the store name", [](const std::wstring& a, LONG* c) { return MfpsmDrvPostStatus(nullptr, nullptr, c, 1, a.c_str(), nullptr); }, L"Q4|draft"},
        {"a line break in the store name", [](const std::wstring& a, LONG* c) { return MfpsmDrvPostStatus(nullptr, nullptr, c, 1, a.c_str(), nullptr); }, L"Q4\r\nMessage=1026"},
        {"a status of 260 units", [](const std::wstring& a, LONG* c) { return MfpsmDrvPostStatus(nullptr, nullptr, c, 48, a.c_str(), nullptr); }, longStore},
        {"a printer name of 256 units", [](const std::wstring& a, LONG* c) { return MfpsmDrvPostStatus(a.c_str(), nullptr, c, 1, nullptr, nullptr); }, longName},
        {"a printer name in quotes", [](const std::wstring& a, LONG* c) { return MfpsmDrvPostStatus(a.c_str(), nullptr, c, 1, nullptr, nullptr); }, L"\"Office MFP\""},
        {"a printer name ending in a blank", [](const std::wstring& a, LONG* c) { return MfpsmDrvPostStatus(a.c_str(), nullptr, c, 1, nullptr, nullptr); }, L"Office MFP "},
        {"no status text", [](const std::wstring&, LONG*) { return MfpsmDrvPostStatusText(nullptr, nullptr, nullptr, nullptr); }, L""},
        {"a status text with a line break", [](const std::wstring& a, LONG*) { return MfpsmDrvPostStatusText(nullptr, nullptr, a.c_str(), nullptr); }, L"33|\n5|"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.post(c.a, codes), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << c.what;
        EXPECT_EQ(ReadAllBytes(StatusFile()), before) << c.what;
    }
    EXPECT_EQ(Key(L"Status"), L"0|0|");
}

// The file is made UTF-16 before the first profile write; one that lacks
// the mark is never emptied, and text it could not hold is refused.
TEST_F(DriversideStatus, UnicodeOnlyIntoAUtf16File)
{
    LONG code = 277;
    const std::wstring store = L"\u5468\u62A5 Weekly";
    ASSERT_EQ(MfpsmDrvPostStatus(L"\u529E\u516C MFP", nullptr, &code, 1, store.c_str(), nullptr), ERROR_SUCCESS);
    std::vector<unsigned char> bytes = ReadAllBytes(StatusFile());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    EXPECT_EQ(Key(L"Status"), L"277|StoreName|" + store + L"|");
    EXPECT_EQ(Key(L"PrinterName"), L"\u529E\u516C MFP");

    const char ansi[] = "[Printer Information]\r\nMessage=0\r\n";
    ASSERT_TRUE(WriteAllBytes(StatusFile(), ansi, sizeof(ansi) - 1));
    EXPECT_EQ(MfpsmDrvPostStatus(nullptr, nullptr, &code, 1, store.c_str(), nullptr),
              static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    EXPECT_EQ(ReadAllBytes(StatusFile()), std::vector<unsigned char>(ansi, ansi + sizeof(ansi) - 1));
    EXPECT_EQ(MfpsmDrvPostStatus(nullptr, nullptr, &code, 1, L"Weekly", nullptr), ERROR_SUCCESS) << "ASCII fits";
    EXPECT_EQ(Key(L"Status"), L"277|StoreName|Weekly|");

    WCHAR path[MAX_PATH];
    EXPECT_EQ(MfpsmDrvStatusFilePath(path, MAX_PATH), ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(path), StatusFile());
    EXPECT_EQ(MfpsmDrvStatusFilePath(path, 10), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
}

// The monitor's answers as the driver reads them: Message 0 after a close,
// ContinuePrint until the driver resets it.
TEST_F(DriversideStatus, CloseShowContinueAndTheWaitForTheAnswer)
{
    ASSERT_EQ(MfpsmDrvShowDialog(FALSE), ERROR_SUCCESS);
    EXPECT_EQ(Key(L"ShowSM"), L"0");
    ASSERT_EQ(MfpsmDrvCloseDialog(), ERROR_SUCCESS);
    EXPECT_EQ(Key(L"Message"), L"1026");
    EXPECT_EQ(MfpsmDrvWaitForClose(200), static_cast<DWORD>(ERROR_TIMEOUT));
    std::thread monitor([] {
        Sleep(300);
        SetKey(L"Message", L"0");
    });
    EXPECT_EQ(MfpsmDrvWaitForClose(kTimeoutMs), ERROR_SUCCESS);
    monitor.join();

    BOOL pressed = TRUE;
    ASSERT_EQ(MfpsmDrvReadContinue(&pressed), ERROR_SUCCESS);
    EXPECT_FALSE(pressed);
    SetKey(L"ContinuePrint", L"1");
    ASSERT_EQ(MfpsmDrvReadContinue(&pressed), ERROR_SUCCESS);
    EXPECT_TRUE(pressed);
    ASSERT_EQ(MfpsmDrvResetContinue(), ERROR_SUCCESS);
    EXPECT_EQ(Key(L"ContinuePrint"), L"0");
    EXPECT_EQ(MfpsmDrvReadContinue(nullptr), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

namespace {

class DriversidePrompt : public ::testing::Test {
protected:
    void SetUp() override
    {
        SpoolPrinterSeed printer;
        printer.name = kPrinter;
        printer.data = {{L"SecID", REG_SZ, Text520(L"last-job")}, {L"ActPWD", REG_SZ, Text520(L"old secret")}};
        spool_.AddPrinter(printer);
        SpoolPrinterSeed refusing;
        refusing.name = L"Refusing MFP";
        refusing.failValue = L"ActPWD";
        spool_.AddPrinter(refusing);
        program_ = Program();
    }
    static std::vector<unsigned char> Text520(const std::wstring& text)
    {
        std::vector<unsigned char> bytes(520, 0);
        memcpy(bytes.data(), text.data(), text.size() * sizeof(wchar_t));
        return bytes;
    }
    static int Drvsim(const std::wstring& args) { return RunBeside(L"drvsim.exe", args, kTimeoutMs); }
    MfpsmDrvPrompt Prompt(const wchar_t* printer = kPrinter, DWORD timeoutMs = kTimeoutMs) const
    {
        return {program_.c_str(), printer, 1033, timeoutMs};
    }
    // Names of the answer values the printer holds now.
    std::set<std::wstring> Held(const wchar_t* printer = kPrinter) const
    {
        std::set<std::wstring> names;
        for (const SpoolDataValue& value : spool_.Data(printer))
            names.insert(value.name);
        return names;
    }
    size_t CallsOf(const wchar_t* function) const { return spool_.Calls(function).size(); }

    SpoolSandbox spool_;
    std::wstring program_;
};

} // namespace

// Stale answers go before the prompt starts; the new ones are read through
// the spooler, deleted there at once and handed over.
TEST_F(DriversidePrompt, SecurePrintEndToEnd)
{
    WCHAR jobId[MFPSMDRV_JOB_ID_UNITS], password[MFPSMDRV_SECURE_PASSWORD_UNITS];
    BOOL remove = FALSE;
    DWORD rc = ERROR_GEN_FAILURE;
    MfpsmDrvPrompt prompt = Prompt();
    std::thread driver([&] { rc = MfpsmDrvAskSecurePrint(&prompt, 2, jobId, MFPSMDRV_JOB_ID_UNITS, password,
                                                         MFPSMDRV_SECURE_PASSWORD_UNITS, &remove); });
    EXPECT_EQ(Drvsim(L"prompt-fill Payroll#7 s3cret"), 0);
    EXPECT_EQ(Drvsim(L"prompt-ok"), 0);
    driver.join();
    ASSERT_EQ(rc, ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(jobId), L"Payroll#7");
    EXPECT_EQ(std::wstring(password), L"s3cret");
    EXPECT_TRUE(remove);
    EXPECT_TRUE(Held().empty()) << "no answer stays on the printer";

    // In the record: both stale values deleted before the prompt stored its
    // answers, and the answers deleted after.
    std::vector<std::wstring> order;
    for (const SpoolCall& call : spool_.Calls()) {
        if ((call.function == L"DeletePrinterData" && call.ok) || call.function == L"SetPrinterData")
            order.push_back(call.function.substr(0, 3) + L" " + call.name);
    }
    const std::vector<std::wstring> expected = {L"Del SecID", L"Del ActPWD", L"Set SecID", L"Set SecPassWord",
                                                L"Set SecRemoveFile", L"Del SecID", L"Del SecPassWord",
                                                L"Del SecRemoveFile"};
    EXPECT_EQ(order, expected);
}

// Exit code 2 (the printer did not store the answers): nothing handed over,
// nothing left behind, the stale answers gone too.
TEST_F(DriversidePrompt, AnswersThatDidNotReachTheDriver)
{
    WCHAR name[MFPSMDRV_USER_NAME_UNITS] = L"x", password[MFPSMDRV_ACCOUNTING_PASSWORD_UNITS] = L"x";
    DWORD rc = ERROR_GEN_FAILURE;
    MfpsmDrvPrompt prompt = Prompt(L"Refusing MFP");
    std::thread driver([&] {
        rc = MfpsmDrvAskAccounting(&prompt, name, MFPSMDRV_USER_NAME_UNITS, password, MFPSMDRV_ACCOUNTING_PASSWORD_UNITS);
    });
    EXPECT_EQ(Drvsim(L"prompt-fill ana pw"), 0);
    EXPECT_EQ(Drvsim(L"prompt-ok"), 0);
    EXPECT_EQ(Drvsim(L"prompt-message"), 0);
    driver.join();
    EXPECT_EQ(rc, static_cast<DWORD>(MFPSMDRV_ERROR_NO_ANSWERS));
    EXPECT_EQ(std::wstring(name), L"");
    EXPECT_EQ(std::wstring(password), L"");
    EXPECT_TRUE(Held(L"Refusing MFP").empty());
}

// What the library refuses before anything starts: no printer opened, no
// prompt shown, the stale answers as they were.
TEST_F(DriversidePrompt, SmallBuffersAndBadInputStartNothing)
{
    WCHAR small[MFPSMDRV_JOB_ID_UNITS - 1], big[64];
    BOOL remove = TRUE;
    MfpsmDrvPrompt prompt = Prompt();
    MfpsmDrvPrompt missing = Prompt(L"No Such MFP");
    MfpsmDrvPrompt relative = Prompt();
    relative.program = L"mfpsm.exe";
    const struct {
        const char* what;
        std::function<DWORD()> ask;
        DWORD expected;
    } cases[] = {
        {"a job ID buffer of 16 units",
         [&] { return MfpsmDrvAskSecurePrint(&prompt, 2, small, MFPSMDRV_JOB_ID_UNITS - 1, big, 64, &remove); },
         ERROR_INSUFFICIENT_BUFFER},
        {"a password buffer of 16 units",
         [&] { return MfpsmDrvAskSecurePrint(&prompt, 2, big, 64, small, MFPSMDRV_JOB_ID_UNITS - 1, &remove); },
         ERROR_INSUFFICIENT_BUFFER},
        {"a user name buffer of 28 units",
         [&] { return MfpsmDrvAskAccounting(&prompt, big, MFPSMDRV_USER_NAME_UNITS - 1, small, 16); },
         ERROR_INSUFFICIENT_BUFFER},
        {"a security print without a password buffer",
         [&] { return MfpsmDrvAskSecurePrint(&prompt, 2, big, 64, nullptr, 0, &remove); }, ERROR_INVALID_PARAMETER},
        {"type 3", [&] { return MfpsmDrvAskSecurePrint(&prompt, 3, big, 64, small, 16, &remove); },
         ERROR_INVALID_PARAMETER},
        {"no prompt", [&] { return MfpsmDrvAskAccounting(nullptr, big, 64, big, 64); }, ERROR_INVALID_PARAMETER},
        {"a relative program path", [&] { return MfpsmDrvAskAccounting(&relative, big, 64, big, 64); },
         ERROR_BAD_PATHNAME},
        {"a printer this machine lacks", [&] { return MfpsmDrvAskAccounting(&missing, big, 64, big, 64); },
         ERROR_INVALID_PRINTER_NAME},
    };
    for (const auto& c : cases) {
        small[0] = big[0] = L'x';
        EXPECT_EQ(c.ask(), c.expected) << c.what;
        EXPECT_EQ(big[0], 0) << c.what << ": the buffers hold empty texts";
    }
    remove = TRUE;
    small[0] = L'x';
    EXPECT_EQ(MfpsmDrvAskSecurePrint(&prompt, 1, small, MFPSMDRV_JOB_ID_UNITS - 1, nullptr, 0, &remove),
              static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(small[0], 0);
    EXPECT_FALSE(remove);
    EXPECT_EQ(CallsOf(L"DeletePrinterData"), 0u);
    EXPECT_EQ(CallsOf(L"SetPrinterData"), 0u);
    EXPECT_EQ(Held(), (std::set<std::wstring>{L"ActPWD", L"SecID"}));
}

// A prompt nobody answers is ended at the time-out.
TEST_F(DriversidePrompt, UnansweredPromptEndsAtTheTimeOut)
{
    WCHAR name[MFPSMDRV_USER_NAME_UNITS], password[MFPSMDRV_ACCOUNTING_PASSWORD_UNITS];
    MfpsmDrvPrompt prompt = Prompt(kPrinter, 3000);
    EXPECT_EQ(MfpsmDrvAskAccounting(&prompt, name, MFPSMDRV_USER_NAME_UNITS, password, MFPSMDRV_ACCOUNTING_PASSWORD_UNITS),
              static_cast<DWORD>(ERROR_TIMEOUT));
    EXPECT_EQ(FindWindowW(L"#32770", L"User authentication"), nullptr) << "the prompt is gone";
    EXPECT_TRUE(Held().empty());
}

namespace {

class DriversideTasks : public ::testing::Test {
protected:
    void SetUp() override
    {
        SpoolPrinterSeed usb;
        usb.name = kPrinter;
        spool_.AddPrinter(usb);
        program_ = Program();
        memset(&wm_, 0, sizeof(wm_));
        MfpsmDrvCopyText(wm_.wmText, 260, L"DRAFT");
        MfpsmDrvCopyText(wm_.wmFaceName, 32, L"Arial");
        MfpsmDrvCopyText(wm_.wmFileName, 260, dir_.File(L"wm.bmp").c_str());
        wm_.wDensity = 60;
        wm_.wFontSize = 40;
        wm_.wAngleDegree = 30;
        wm_.nWidth = 600;
        wm_.nHeight = 400;
        wm_.nDstScale = wm_.nPageDensity = wm_.nMaxPageDensity = 1;
        wm_.nTextScale = 100;
    }
    DWORD CreateBmp() { return MfpsmDrvCreateTextBmp(program_.c_str(), dir_.File(L"job.ini").c_str(), &wm_, kTimeoutMs); }

    SpoolSandbox spool_;
    ScratchDir dir_;
    std::wstring program_;
    MfpsmDrvWatermark wm_;
};

} // namespace

// A picture counts only when a new file stands at its path: an old one held
// open (exit code 3) or none written is never this job's.
TEST_F(DriversideTasks, PicturesAndTheHeldPictureCode)
{
    std::wstring bmp = dir_.File(L"wm.bmp");
    ASSERT_EQ(CreateBmp(), ERROR_SUCCESS);
    std::vector<unsigned char> first = ReadAllBytes(bmp);
    ASSERT_GT(first.size(), 62u);
    EXPECT_EQ(first[0], 'B');

    HANDLE held = CreateFileW(bmp.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    wm_.wAngleDegree = 60;
    EXPECT_EQ(CreateBmp(), static_cast<DWORD>(MFPSMDRV_ERROR_PICTURE_HELD));
    CloseHandle(held);
    EXPECT_EQ(ReadAllBytes(bmp), first) << "the old picture stayed";

    EXPECT_EQ(CreateBmp(), ERROR_SUCCESS) << "the same job once the file is let go";
    EXPECT_NE(ReadAllBytes(bmp), first);

    MfpsmDrvCopyText(wm_.wmFileName, 260, dir_.File(L"no such folder\\wm.bmp").c_str());
    EXPECT_EQ(CreateBmp(), static_cast<DWORD>(MFPSMDRV_ERROR_NO_PICTURE));

    wm_.wDensity = 19;
    EXPECT_EQ(CreateBmp(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(MfpsmDrvCreateTextBmp(program_.c_str(), L"job.ini", &wm_, kTimeoutMs), static_cast<DWORD>(ERROR_BAD_PATHNAME));
}

TEST_F(DriversideTasks, PreheatOnAPrinterThatExists)
{
    EXPECT_EQ(MfpsmDrvPreheat(program_.c_str(), kPrinter, kTimeoutMs), ERROR_SUCCESS);
    std::vector<SpoolCall> started = spool_.Calls(L"StartDocPrinter");
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].name, L"PreHeat");
    EXPECT_EQ(MfpsmDrvPreheat(program_.c_str(), L"No Such MFP", kTimeoutMs), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
    EXPECT_EQ(MfpsmDrvPreheat(program_.c_str(), L"", kTimeoutMs), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
    EXPECT_EQ(spool_.Calls(L"StartDocPrinter").size(), 1u) << "no job for a printer that is not there";
}

// The fax files are replaced whole, or left as they were when the input is
// bad.
TEST_F(DriversideTasks, FaxFilesWholeOrNotAtAll)
{
    const std::wstring settings = CommonDocumentsDir() + L"str.ini", cover = CommonDocumentsDir() + L"cover.ini";
    const WCHAR* lines[] = {L"Please call back.", L"Thanks."};
    MfpsmDrvFax fax = {};
    fax.paperSize = 9;
    fax.coverPage = 1;
    fax.name = L"Ana Ruiz";
    fax.labelMessage = L"Note";
    fax.messageLines = lines;
    fax.lineCount = 2;
    ASSERT_EQ(MfpsmDrvWriteFaxFiles(&fax), ERROR_SUCCESS);
    EXPECT_EQ(ReadAllBytes(settings),
              Utf16File(L"[DataForSM]\r\nPaperSize=9\r\nenableCoverPage=1\r\nOrientation=0\r\nXres=0\r\nYres=0\r\n"
                        L"[SenderInformation]\r\nName=Ana Ruiz\r\n[SMTextOut]\r\nMESG=Note\r\n"));
    EXPECT_EQ(ReadAllBytes(cover), Utf16File(L"Please call back.\r\nThanks.\r\n"));

    const std::vector<unsigned char> settingsBefore = ReadAllBytes(settings), coverBefore = ReadAllBytes(cover);
    const std::wstring longLine(MFPSMDRV_FAX_LINE_UNITS + 1, L'm'), longName(MFPSMDRV_FAX_TEXT_UNITS, L'n');
    const WCHAR* tooLong[] = {longLine.c_str()};
    const WCHAR* broken[] = {L"two\r\nlines"};
    const struct {
        const char* what;
        void (*change)(MfpsmDrvFax&, const WCHAR* const*, const std::wstring&);
    } cases[] = {
        {"paper 10", [](MfpsmDrvFax& f, const WCHAR* const*, const std::wstring&) { f.paperSize = 10; }},
        {"cover 3", [](MfpsmDrvFax& f, const WCHAR* const*, const std::wstring&) { f.coverPage = 3; }},
        {"a message line of 1000 units", [](MfpsmDrvFax& f, const WCHAR* const* l, const std::wstring&) { f.messageLines = l; f.lineCount = 1; }},
        {"a name of 260 units", [](MfpsmDrvFax& f, const WCHAR* const*, const std::wstring& n) { f.name = n.c_str(); }},
        {"a label with a line break", [](MfpsmDrvFax& f, const WCHAR* const*, const std::wstring&) { f.labelFax = L"FAX\r\nX"; }},
        {"lines without their array", [](MfpsmDrvFax& f, const WCHAR* const*, const std::wstring&) { f.messageLines = nullptr; }},
    };
    for (const auto& c : cases) {
        MfpsmDrvFax bad = fax;
        c.change(bad, tooLong, longName);
        EXPECT_EQ(MfpsmDrvWriteFaxFiles(&bad), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << c.what;
        EXPECT_EQ(ReadAllBytes(settings), settingsBefore) << c.what;
        EXPECT_EQ(ReadAllBytes(cover), coverBefore) << c.what;
    }
    MfpsmDrvFax lineBreak = fax;
    lineBreak.messageLines = broken;
    lineBreak.lineCount = 1;
    EXPECT_EQ(MfpsmDrvWriteFaxFiles(&lineBreak), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    DeleteFileW(settings.c_str());
    DeleteFileW(cover.c_str());
}

// The library's road with the resident monitor itself: started, a status
// shown, Continue read, the dialog taken down.
TEST(DriversideMonitor, StartPostContinueClose)
{
    ASSERT_TRUE(WaitForNoWindow(L"mfpsm", kTimeoutMs)) << "a monitor was left running";
    SpoolSandbox spool;
    SpoolPrinterSeed printer;
    printer.name = kPrinter;
    spool.AddPrinter(printer);
    DeleteFileW(StatusFile().c_str());
    const std::wstring program = Program();
    ASSERT_EQ(MfpsmDrvStartMonitor(program.c_str(), kTimeoutMs), ERROR_SUCCESS);
    EXPECT_NE(FindWindowW(L"mfpsm", nullptr), nullptr) << "the monitor's window exists on return";
    EXPECT_EQ(MfpsmDrvStartMonitor(program.c_str(), kTimeoutMs), ERROR_SUCCESS) << "a second start finds it running";

    LONG mismatch = 35;
    DWORD job = 7;
    ASSERT_EQ(MfpsmDrvPostStatus(kPrinter, &job, &mismatch, 1, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RunBeside(L"drvsim.exe", L"press continue", kTimeoutMs), 0);
    BOOL pressed = FALSE;
    DWORD start = GetTickCount();
    while (MfpsmDrvReadContinue(&pressed) == ERROR_SUCCESS && !pressed && GetTickCount() - start < kTimeoutMs)
        Sleep(50);
    EXPECT_TRUE(pressed);

    LONG jam = 33;
    ASSERT_EQ(MfpsmDrvPostStatus(kPrinter, &job, &jam, 1, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_NE(WaitForWindow(L"#32770", L"MFP Status Monitor", kTimeoutMs), nullptr);
    ASSERT_EQ(MfpsmDrvCloseDialog(), ERROR_SUCCESS);
    EXPECT_EQ(MfpsmDrvWaitForClose(kTimeoutMs), ERROR_SUCCESS);
    start = GetTickCount();
    while (FindWindowW(L"#32770", L"MFP Status Monitor") && GetTickCount() - start < kTimeoutMs)
        Sleep(50);
    EXPECT_EQ(FindWindowW(L"#32770", L"MFP Status Monitor"), nullptr) << "the dialog closed";

    EXPECT_EQ(RunBeside(L"drvsim.exe", L"monitor-exit", kTimeoutMs), 0);
    EXPECT_EQ(RunBeside(L"mfpsm.exe", L"uninstall", kTimeoutMs), 1);
}
