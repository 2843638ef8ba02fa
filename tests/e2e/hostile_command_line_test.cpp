// Hostile command lines for every command word: a thousand arguments,
// arguments of 10,000 characters, printer names longer than the program's
// buffers. The program ends with its documented code, and what it hands the
// spooler carries the name cut to the 259 units its buffers hold.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "testkit/spool.h"
#include "testkit/wine_test.h"

namespace {

constexpr DWORD kTimeoutMs = 20000;
constexpr size_t kArgKept = 259;
constexpr int kAccessViolation = static_cast<int>(0xC0000005);

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

std::wstring Mfpsm()
{
    return Quoted(BesideTest(L"mfpsm.exe"));
}

std::wstring ThousandArguments()
{
    std::wstring many;
    for (int i = 0; i < 1000; ++i)
        many += L" a" + std::to_wstring(i);
    return many;
}

// A 300-character printer name whose characters tell their position.
std::wstring LongPrinterName()
{
    std::wstring name;
    for (int i = 0; name.size() < 300; ++i)
        name += L"Printer" + std::to_wstring(i) + L" ";
    return name.substr(0, 300);
}

void Type(HWND edit, const std::wstring& units)
{
    for (wchar_t c : units)
        SendMessageW(edit, WM_CHAR, c, 1);
}

class HostileCommandLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WaitForNoWindow(L"mfpsm", kTimeoutMs)) << "a monitor was left running";
        printer_ = LongPrinterName();
        SpoolPrinterSeed cut;
        cut.name = printer_.substr(0, kArgKept);
        spool_.AddPrinter(cut);
    }
    void TearDown() override
    {
        if (HWND window = FindWindowW(L"mfpsm", nullptr))
            PostMessageW(window, 1026, 0, 0);
        WaitForNoWindow(L"mfpsm", kTimeoutMs);
    }
    int Run(const std::wstring& args)
    {
        ChildProcess child(Mfpsm() + L" " + args);
        EXPECT_TRUE(child.Started());
        return child.Wait(kTimeoutMs);
    }
    // The printers named in the spooler calls of one function.
    std::vector<std::wstring> PrintersOf(const wchar_t* function)
    {
        std::vector<std::wstring> names;
        for (const SpoolCall& call : spool_.Calls(function))
            names.push_back(call.printer);
        return names;
    }

    SpoolSandbox spool_;
    std::wstring printer_;
};

} // namespace

// One-shot words end with 1, whatever follows them; nothing crashes.
TEST_F(HostileCommandLine, OneShotWordsWithHugeArgumentsEndWithOne)
{
    const std::wstring huge(10000, L'x');
    const std::wstring hugeDigits(10000, L'9');
    const struct {
        const char* what;
        std::wstring args;
    } cases[] = {
        {"no word, 1000 arguments", L"unknown" + ThousandArguments()},
        {"no word, 10000 characters", huge},
        {"CreateTextBMP, 1000 arguments", L"CreateTextBMP" + ThousandArguments()},
        {"CreateTextBMP, 10000-character path", L"CreateTextBMP " + Quoted(L"C:\\" + huge)},
        {"PREHEAT, 1000 arguments", L"PREHEAT" + ThousandArguments()},
        {"PREHEAT, 10000-character printer", L"PREHEAT " + huge},
        {"uninstall, 1000 arguments", L"uninstall" + ThousandArguments()},
        {"uninstall, 10000 characters", L"uninstall " + huge},
        {"security, 10000-digit type", L"security " + hugeDigits + L" printer 1033"},
        {"security, type 3 and 1000 arguments", L"security 3" + ThousandArguments()},
        {"security, type 3 and a 10000-character printer", L"security 3 " + huge + L" 1033"},
    };
    for (const auto& c : cases) {
        int code = Run(c.args);
        EXPECT_NE(code, kAccessViolation) << c.what;
        EXPECT_EQ(code, 1) << c.what;
    }
    EXPECT_TRUE(spool_.Calls(L"StartDocPrinter").empty()) << "no printer of those names exists";
    EXPECT_TRUE(spool_.Calls(L"SetPrinterData").empty());
}

TEST_F(HostileCommandLine, InstallWithHugeArgumentsBecomesTheMonitor)
{
    for (const std::wstring& rest : {ThousandArguments(), L" " + std::wstring(10000, L'i')}) {
        ChildProcess monitor(Mfpsm() + L" install" + rest);
        HWND window = WaitForWindow(L"mfpsm", nullptr, kTimeoutMs);
        ASSERT_NE(window, nullptr);
        PostMessageW(window, 1026, 0, 0);  // WM_SM_EXIT
        EXPECT_EQ(monitor.Wait(kTimeoutMs), 0);
    }
}

// The wake-up job goes to the printer named by the first 259 units.
TEST_F(HostileCommandLine, PreheatWithA300CharacterPrinterName)
{
    EXPECT_EQ(Run(L"PREHEAT " + Quoted(printer_) + ThousandArguments()), 1);
    std::vector<std::wstring> printers = PrintersOf(L"StartDocPrinter");
    ASSERT_EQ(printers.size(), 1u);
    EXPECT_EQ(printers[0], printer_.substr(0, kArgKept));
    for (const std::wstring& name : PrintersOf(L"OpenPrinter"))
        EXPECT_LE(name.size(), kArgKept);
}

TEST_F(HostileCommandLine, SecurityWithA300CharacterPrinterName)
{
    ChildProcess prompt(Mfpsm() + L" security 2 " + Quoted(printer_) + L" 1033" + ThousandArguments());
    HWND dialog = WaitForDialogOf(prompt, kTimeoutMs);
    ASSERT_NE(dialog, nullptr);
    Type(GetDlgItem(dialog, IDC_SEC_ID), L"job1");
    Type(GetDlgItem(dialog, IDC_SEC_PASSWORD), L"pw");
    PostMessageW(GetDlgItem(dialog, IDC_SEC_OK), BM_CLICK, 0, 0);
    EXPECT_EQ(prompt.Wait(kTimeoutMs), 1);
    std::vector<std::wstring> printers = PrintersOf(L"SetPrinterData");
    ASSERT_EQ(printers.size(), 3u);
    for (const std::wstring& name : printers)
        EXPECT_EQ(name, printer_.substr(0, kArgKept));
}

TEST_F(HostileCommandLine, AccountingWithA300CharacterPrinterName)
{
    ChildProcess prompt(Mfpsm() + L" accounting " + Quoted(printer_) + L" " + std::wstring(10000, L'7') +
                        ThousandArguments());
    HWND dialog = WaitForDialogOf(prompt, kTimeoutMs);
    ASSERT_NE(dialog, nullptr);
    Type(GetDlgItem(dialog, IDC_ACT_NAME), L"user");
    Type(GetDlgItem(dialog, IDC_ACT_PASSWORD), L"secret");
    PostMessageW(GetDlgItem(dialog, IDC_ACT_OK), BM_CLICK, 0, 0);
    EXPECT_EQ(prompt.Wait(kTimeoutMs), 1);
    std::vector<std::wstring> printers = PrintersOf(L"SetPrinterData");
    ASSERT_EQ(printers.size(), 2u);
    for (const std::wstring& name : printers)
        EXPECT_EQ(name, printer_.substr(0, kArgKept));
}
