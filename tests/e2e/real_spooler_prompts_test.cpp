// The prompts of the shipped program on Wine's own spooler: answered through
// their controls (drvsim, as the user), their printer data read back by
// another process (drvsim, as the driver) through the same spooler.
#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "testkit/print_server.h"
#include "testkit/wine_test.h"

namespace {

constexpr DWORD kTimeoutMs = 20000;

std::wstring Quoted(const wchar_t* program)
{
    return L"\"" + BesideTest(program) + L"\"";
}

// drvsim's output; a failed command fails the test with what it said.
std::string Drvsim(const std::wstring& args)
{
    int code = -1;
    std::string output = RunCapture(Quoted(L"drvsim.exe") + L" " + args, kTimeoutMs, &code);
    EXPECT_EQ(code, 0) << "drvsim " << std::string(args.begin(), args.end()) << ": " << output;
    return output;
}

// Values of another type and size than a prompt writes, set first, so a
// value left from an earlier run cannot pass for the new answers.
void SetStaleValues(const std::vector<const wchar_t*>& names)
{
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ACCESS_ADMINISTER};
    ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(kUsbQueue), &printer, &defaults)) << GetLastError();
    DWORD stale = 0xDEAD;
    for (const wchar_t* name : names) {
        EXPECT_EQ(SetPrinterDataW(printer, const_cast<LPWSTR>(name), REG_DWORD, reinterpret_cast<LPBYTE>(&stale), 4),
                  static_cast<DWORD>(ERROR_SUCCESS));
    }
    ClosePrinter(printer);
}

} // namespace

TEST(RealSpoolerPrompts, AnswersAreReadBackThroughTheSpoolerWithTypeAndSize)
{
    const struct {
        std::wstring command;
        std::wstring fill;
        std::vector<const wchar_t*> values;
        std::string readBack;
    } prompts[] = {
        {L"accounting MFP_USB 0", L"\"j.doe@finance\" \"Sesame 11\"", {L"ActName", L"ActPWD"},
         "ActName: REG_SZ, 520 bytes, \"j.doe@finance\", the rest zero\r\n"
         "ActPWD: REG_SZ, 520 bytes, \"Sesame 11\", the rest zero\r\n"},
        {L"security 2 MFP_USB 1028", L"\"Payroll#7\" \"s3cret pass\" --uncheck", {L"SecID", L"SecPassWord", L"SecRemoveFile"},
         "SecID: REG_SZ, 520 bytes, \"Payroll#7\", the rest zero\r\n"
         "SecPassWord: REG_SZ, 520 bytes, \"s3cret pass\", the rest zero\r\n"
         "SecRemoveFile: REG_DWORD, 4 bytes, 0\r\n"},
        {L"security 1 MFP_USB 2052", L"\"Quarterly-Report\"", {L"SecID", L"SecPassWord", L"SecRemoveFile"},
         "SecID: REG_SZ, 520 bytes, \"Quarterly-Report\", the rest zero\r\n"
         "SecPassWord: REG_SZ, 520 bytes, \"\", the rest zero\r\n"
         "SecRemoveFile: REG_DWORD, 4 bytes, 1\r\n"},
    };
    for (const auto& p : prompts) {
        SCOPED_TRACE(std::string(p.command.begin(), p.command.end()));
        SetStaleValues(p.values);
        ChildProcess prompt(Quoted(L"mfpsm.exe") + L" " + p.command);
        Drvsim(L"prompt-fill " + p.fill);
        Drvsim(L"prompt-ok");
        EXPECT_EQ(prompt.Wait(kTimeoutMs), 1);
        std::wstring names;
        for (const wchar_t* name : p.values)
            names += std::wstring(L" ") + name;
        EXPECT_EQ(Drvsim(L"printer-data MFP_USB" + names), p.readBack);
    }
}
