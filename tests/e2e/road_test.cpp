// One road through every command word of the shipped program, driven as the
// driver side and the user would. It is the whole e2e run of the 32-bit
// program, so it goes where 32 and 64 bits part: the spooler stand-in's
// exports and records, the packed watermark settings record, printer data
// buffers, window data of the dialogs, registry values. It also reads the
// release number that the program carries in its version resource and its
// manifest, both made from the VERSION file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testkit/spool.h"
#include "testkit/wine_test.h"

namespace {

constexpr DWORD kTimeoutMs = 30000;
constexpr const wchar_t* kPrinter = L"Office MFP";
constexpr const wchar_t* kProgramKey = L"software\\Orvanite\\Printer\\mfpsm";
constexpr const wchar_t* kRunKey = L"software\\microsoft\\windows\\currentversion\\run";
constexpr DWORD kPaperJam = 0x8;  // PRINTER_STATUS_PAPER_JAM
constexpr DWORD kJobDelete = 5;   // JOB_CONTROL_DELETE

int Mfpsm(const std::wstring& args)
{
    return RunBeside(L"mfpsm.exe", args, kTimeoutMs);
}

int Drvsim(const std::wstring& args)
{
    return RunBeside(L"drvsim.exe", args, kTimeoutMs);
}

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

// The 520 bytes of a 260-unit text buffer: the text, then zeros.
std::vector<unsigned char> TextBuffer(const std::wstring& text)
{
    std::vector<unsigned char> bytes(520, 0);
    memcpy(bytes.data(), text.data(), text.size() * sizeof(wchar_t));
    return bytes;
}

// A written 1-bit BMP: its size as the headers say, and whether it has ink.
struct Bmp {
    bool valid = false;
    int width = 0;
    int height = 0;
    bool inked = false;
};

Bmp ReadBmp(const std::wstring& path)
{
    std::vector<unsigned char> bytes = ReadAllBytes(path);
    Bmp bmp;
    if (bytes.size() < 62 || bytes[0] != 'B' || bytes[1] != 'M' || bytes[28] != 1)
        return bmp;
    bmp.width = bytes[18] | bytes[19] << 8 | bytes[20] << 16 | bytes[21] << 24;
    bmp.height = bytes[22] | bytes[23] << 8 | bytes[24] << 16 | bytes[25] << 24;
    size_t stride = ((static_cast<size_t>(bmp.width) + 31) / 32) * 4;
    bmp.valid = bytes.size() == 62 + stride * static_cast<size_t>(bmp.height);
    for (size_t i = 62; i < bytes.size() && !bmp.inked; ++i)
        bmp.inked = bytes[i] != 0xFF;
    return bmp;
}

class Road : public ::testing::Test {
protected:
    void SetUp() override
    {
        SpoolPrinterSeed printer;
        printer.name = kPrinter;
        printer.jobs = {{7, L"Report.pdf"}};
        spool_.AddPrinter(printer);
        DeleteRegTree(HKEY_LOCAL_MACHINE, kProgramKey);
    }
    void TearDown() override { DeleteRegTree(HKEY_LOCAL_MACHINE, kProgramKey); }

    // What the program handed the printer as printer data, as name and bytes.
    std::vector<std::pair<std::wstring, std::vector<unsigned char>>> PrinterData() const
    {
        std::vector<std::pair<std::wstring, std::vector<unsigned char>>> values;
        for (const SpoolCall& call : spool_.Calls(L"SetPrinterData"))
            values.push_back({call.name, call.data});
        return values;
    }

    SpoolSandbox spool_;
    ScratchDir dir_;
};

} // namespace

TEST_F(Road, NoWordAndUnknownWordsEndAtOnce)
{
    std::wstring status = CommonDocumentsDir() + L"StatusMonitorV3.ini";
    DeleteFileW(status.c_str());
    EXPECT_EQ(Mfpsm(L""), 1);
    EXPECT_EQ(ReadAllBytes(status), (std::vector<unsigned char>{0xFF, 0xFE}));
    EXPECT_EQ(Mfpsm(L"INSTALL"), 1);
    EXPECT_EQ(FindWindowW(L"mfpsm", nullptr), nullptr);
}

TEST_F(Road, SetAtmAndCharsetWriteTheProgramKey)
{
    EXPECT_EQ(Mfpsm(L"SetATM -1"), 1);
    EXPECT_EQ(Mfpsm(L"charset 2052"), 1);
    DWORD value = 0;
    ASSERT_TRUE(ReadRegDword(HKEY_LOCAL_MACHINE, kProgramKey, L"AtmMode", &value));
    EXPECT_EQ(value, 0xFFFFFFFFu);
    ASSERT_TRUE(ReadRegDword(HKEY_LOCAL_MACHINE, kProgramKey, L"Language", &value));
    EXPECT_EQ(value, 2052u);
}

TEST_F(Road, InstallShowsAStatusDeletesTheJobAndUninstallEndsIt)
{
    ASSERT_TRUE(WaitForNoWindow(L"mfpsm", kTimeoutMs)) << "a monitor was left running";
    ChildProcess monitor(Quoted(BesideTest(L"mfpsm.exe")) + L" install");
    ASSERT_NE(WaitForWindow(L"mfpsm", nullptr, kTimeoutMs), nullptr);
    std::wstring autostart;
    ASSERT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, L"mfpsm", &autostart));
    EXPECT_EQ(autostart, BesideTest(L"mfpsm.exe") + L" logon");

    ASSERT_EQ(Drvsim(L"status 33 5 --printer " + Quoted(kPrinter) + L" --job 7"), 0);
    HWND dialog = WaitForWindow(L"#32770", L"MFP Status Monitor", kTimeoutMs);
    ASSERT_NE(dialog, nullptr);
    std::vector<SpoolCall> status = spool_.Calls(L"SetPrinter");
    ASSERT_FALSE(status.empty());
    EXPECT_EQ(status[0].status, kPaperJam) << "from the first code, 33";

    ASSERT_EQ(Drvsim(L"press delete"), 0);
    EXPECT_EQ(Drvsim(L"wait Message 0"), 0);
    std::vector<SpoolCall> jobs = spool_.Calls(L"SetJob");
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].status, 7u);
    EXPECT_EQ(jobs[0].command, kJobDelete);
    EXPECT_TRUE(spool_.Jobs(kPrinter).empty());

    EXPECT_EQ(Mfpsm(L"uninstall"), 1);
    EXPECT_EQ(monitor.Wait(kTimeoutMs), 0);
    EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, L"mfpsm", &autostart));
}

TEST_F(Road, SecurityAndAccountingHandTheAnswersToThePrinter)
{
    ChildProcess security(Quoted(BesideTest(L"mfpsm.exe")) + L" security 2 " + Quoted(kPrinter) + L" 1033");
    ASSERT_EQ(Drvsim(L"prompt-fill job-42 secret"), 0);
    ASSERT_EQ(Drvsim(L"prompt-ok"), 0);
    EXPECT_EQ(security.Wait(kTimeoutMs), 1);

    ChildProcess accounting(Quoted(BesideTest(L"mfpsm.exe")) + L" accounting " + Quoted(kPrinter) + L" 2052");
    ASSERT_EQ(Drvsim(L"prompt-fill ana pw"), 0);
    ASSERT_EQ(Drvsim(L"prompt-ok"), 0);
    EXPECT_EQ(accounting.Wait(kTimeoutMs), 1);

    const std::vector<unsigned char> removeFile = {1, 0, 0, 0};
    const std::vector<std::pair<std::wstring, std::vector<unsigned char>>> expected = {
        {L"SecID", TextBuffer(L"job-42")}, {L"SecPassWord", TextBuffer(L"secret")}, {L"SecRemoveFile", removeFile},
        {L"ActName", TextBuffer(L"ana")}, {L"ActPWD", TextBuffer(L"pw")}};
    EXPECT_EQ(PrinterData(), expected);
}

TEST_F(Road, PreheatQueuesTheWakeUpJob)
{
    EXPECT_EQ(Mfpsm(L"PREHEAT " + Quoted(kPrinter)), 1);
    std::vector<SpoolCall> started = spool_.Calls(L"StartDocPrinter");
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].name, L"PreHeat");
    EXPECT_EQ(spool_.Document(started[0].job).size(), 666u);
}

TEST_F(Road, CreateTextBmpDrawsTheWatermarkAndTheFaxPage)
{
    std::wstring ini = dir_.File(L"job.ini"), bmp = dir_.File(L"wm.bmp");
    ASSERT_EQ(Drvsim(L"watermark --ini " + Quoted(ini) + L" --bmp " + Quoted(bmp) +
                     L" --text DRAFT --size 40 --width 600 --height 400"), 0);
    EXPECT_EQ(Mfpsm(L"CreateTextBMP " + Quoted(ini)), 1);
    Bmp watermark = ReadBmp(bmp);
    EXPECT_TRUE(watermark.valid);
    EXPECT_EQ(watermark.width, 600);
    EXPECT_EQ(watermark.height, 400);
    EXPECT_TRUE(watermark.inked);

    std::wstring docs = CommonDocumentsDir(), page = dir_.File(L"fax.bmp");
    ASSERT_EQ(Drvsim(L"fax --paper 9 --name \"Ana Ruiz\" --message \"Call me back.\""), 0);
    ASSERT_EQ(Drvsim(L"watermark --ini " + Quoted(ini) + L" --bmp " + Quoted(page) +
                     L" --driver-type 512 --width 1728 --height 2292 --density 100"), 0);
    EXPECT_EQ(Mfpsm(L"CreateTextBMP " + Quoted(ini)), 1);
    DeleteFileW((docs + L"str.ini").c_str());
    DeleteFileW((docs + L"cover.ini").c_str());
    Bmp fax = ReadBmp(page);
    EXPECT_TRUE(fax.valid);
    EXPECT_EQ(fax.width, 1728);
    EXPECT_EQ(fax.height, 2292);
    EXPECT_TRUE(fax.inked);
}

TEST_F(Road, VersionResourceAndManifestCarryTheReleaseNumber)
{
    const std::wstring program = BesideTest(L"mfpsm.exe");
    DWORD handle = 0;
    std::vector<unsigned char> info(GetFileVersionInfoSizeW(program.c_str(), &handle));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    void* text = nullptr;
    UINT units = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\FileVersion", &text, &units));
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(text)), MFPSM_VERSION);
    void* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", &fixed, &units));
    const auto* version = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    std::wstring numbers = std::to_wstring(HIWORD(version->dwFileVersionMS)) + L"." +
                           std::to_wstring(LOWORD(version->dwFileVersionMS)) + L"." +
                           std::to_wstring(HIWORD(version->dwFileVersionLS));
    EXPECT_EQ(numbers, MFPSM_VERSION);
    EXPECT_EQ(LOWORD(version->dwFileVersionLS), 0);

    HMODULE image = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(image, nullptr);
    HRSRC found = FindResourceW(image, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const char* manifest = static_cast<const char*>(LockResource(LoadResource(image, found)));
    std::string manifestText(manifest, SizeofResource(image, found));
    FreeLibrary(image);
    std::wstring wide(MFPSM_VERSION);
    std::string expected = "name=\"Orvanite.Printer.mfpsm\" version=\"" + std::string(wide.begin(), wide.end()) + ".0\"";
    EXPECT_NE(manifestText.find(expected), std::string::npos) << manifestText;
}
