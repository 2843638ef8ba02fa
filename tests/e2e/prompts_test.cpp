// The secure print and accounting prompts of the shipped program, driven as
// a user would: the dialog of the child process found by its class, text
// typed character by character, OK pressed. What the driver receives is read
// back from the spooler stand-in's record; on the real spooler (the
// RealSpooler tests), through the spooler by another process.
#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "common/printers.h"
#include "common/utf16.h"
#include "prompts/prompt_texts.h"
#include "resources/resource.h"
#include "testkit/print_server.h"
#include "testkit/spool.h"
#include "testkit/wine_test.h"

namespace {

constexpr DWORD kTimeoutMs = 20000;
constexpr const wchar_t* kPrinter = L"Office MFP";

std::wstring Text(HWND window)
{
    wchar_t text[512] = L"";
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &result);
    return text;
}

// The dialog sets its texts when it paints, which follows its creation.
std::wstring PaintedText(HWND window)
{
    DWORD start = GetTickCount();
    std::wstring text = Text(window);
    while (text.empty() && GetTickCount() - start < kTimeoutMs) {
        Sleep(50);
        text = Text(window);
    }
    return text;
}

std::string Show(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// WM_CHAR one unit at a time, as the keyboard would deliver them; each is
// processed (and checked by the dialog) before the next is sent.
void Type(HWND edit, const std::wstring& units)
{
    for (wchar_t c : units)
        SendMessageW(edit, WM_CHAR, c, 1);
}

void Backspace(HWND edit, int times)
{
    Type(edit, std::wstring(static_cast<size_t>(times), L'\b'));
}

std::wstring PromptText(int row, int language)
{
    return W16(SM_PromptText(row, language));
}

std::wstring StatusFile()
{
    return CommonDocumentsDir() + L"StatusMonitorV3.ini";
}

void SetMessageKey(const wchar_t* value)
{
    WritePrivateProfileStringW(L"Printer Information", L"Message", value, StatusFile().c_str());
}

std::wstring MessageKey()
{
    wchar_t value[64] = L"";
    GetPrivateProfileStringW(L"Printer Information", L"Message", L"", value, 64, StatusFile().c_str());
    return value;
}

// The 520 bytes of a 260-unit text buffer holding text and zeros after it.
std::vector<unsigned char> TextBuffer(const std::wstring& text)
{
    std::vector<unsigned char> bytes(520, 0);
    memcpy(bytes.data(), text.data(), text.size() * sizeof(wchar_t));
    return bytes;
}

std::vector<unsigned char> Dword(DWORD value)
{
    const auto* p = reinterpret_cast<const unsigned char*>(&value);
    return std::vector<unsigned char>(p, p + 4);
}

struct StoredValue {
    const wchar_t* name;
    DWORD type;
    std::vector<unsigned char> data;
};

void ExpectStored(const SpoolSandbox& spool, const std::vector<StoredValue>& expected)
{
    std::vector<SpoolCall> calls = spool.Calls(L"SetPrinterData");
    ASSERT_EQ(calls.size(), expected.size());
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].printer, kPrinter);
        EXPECT_EQ(calls[i].name, expected[i].name) << i;
        EXPECT_EQ(calls[i].type, expected[i].type) << Show(expected[i].name);
        EXPECT_EQ(calls[i].data, expected[i].data) << Show(expected[i].name);
    }
}

// One start of mfpsm.exe with a prompt command; the child never outlives the test.
class Prompt {
public:
    explicit Prompt(const std::wstring& args)
        : child_(L"\"" + BesideTest(L"mfpsm.exe") + L"\" " + args), dialog_(WaitForDialogOf(child_, kTimeoutMs))
    {
    }
    HWND Dialog() const { return dialog_; }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    std::wstring ItemText(int id) const { return Text(Item(id)); }
    void Press(int id) const { PostMessageW(Item(id), BM_CLICK, 0, 0); }
    int Wait() { return child_.Wait(kTimeoutMs); }
    // The message box the prompt owns, once it shows; null when none does.
    HWND WaitForMessageBox() const
    {
        DWORD start = GetTickCount();
        do {
            HWND box = nullptr;
            EnumThreadWindows(GetWindowThreadProcessId(dialog_, nullptr), FindOwnedBox, reinterpret_cast<LPARAM>(&box));
            if (box && GetWindow(box, GW_OWNER) == dialog_ && IsWindowVisible(box))
                return box;
            Sleep(50);
        } while (GetTickCount() - start < kTimeoutMs && child_.Running());
        return nullptr;
    }
    // A refused close leaves the dialog up. Its close writes "Message" =
    // 1028 first, then refuses or ends the dialog; a message sent to the
    // dialog after that is answered only when the dialog lives on.
    bool StillOpenAfterClose() const
    {
        DWORD start = GetTickCount();
        while (MessageKey() != L"1028" && child_.Running() && GetTickCount() - start < kTimeoutMs)
            Sleep(20);
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(dialog_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &result) && IsWindow(dialog_) &&
               child_.Running();
    }

private:
    // *lParam: the dialog-class window of the thread owned by another one.
    static BOOL CALLBACK FindOwnedBox(HWND window, LPARAM found)
    {
        wchar_t className[16] = L"";
        GetClassNameW(window, className, 16);
        if (wcscmp(className, L"#32770") != 0 || !GetWindow(window, GW_OWNER))
            return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }

    ChildProcess child_;
    HWND dialog_;
};

class Prompts : public ::testing::Test {
protected:
    void SetUp() override
    {
        SpoolPrinterSeed printer;
        printer.name = kPrinter;
        spool_.AddPrinter(printer);
    }
    SpoolSandbox spool_;
};

} // namespace

TEST_F(Prompts, SecureDialogTextsAndStatesPerLanguage)
{
    const struct {
        const wchar_t* type;
        int languageId;
        int column;
    } runs[] = {{L"2", 0, 0}, {L"2", 1028, 1}, {L"2", 2052, 2}, {L"1", 1036, 3}, {L"1", 2052, 2}};
    for (const auto& run : runs) {
        SCOPED_TRACE("type " + Show(run.type) + " language " + std::to_string(run.languageId));
        Prompt prompt(std::wstring(L"security ") + run.type + L" \"" + kPrinter + L"\" " + std::to_wstring(run.languageId));
        ASSERT_NE(prompt.Dialog(), nullptr);
        bool storage = run.type[0] == L'1';

        EXPECT_EQ(PaintedText(prompt.Item(IDC_SEC_OK)), PromptText(kPromptSecureOk, run.column));
        EXPECT_EQ(Text(prompt.Dialog()), PromptText(storage ? kPromptStorageTitle : kPromptSecurityTitle, run.column));
        const int ids[] = {IDC_SEC_ID_LABEL, IDC_SEC_ID_HINT, IDC_SEC_PASSWORD_LABEL, IDC_SEC_PASSWORD_HINT, IDC_SEC_REMOVE};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(prompt.ItemText(ids[i]), PromptText(kPromptIdLabel + i, run.column)) << ids[i];
        EXPECT_EQ(IsWindowEnabled(prompt.Item(IDC_SEC_PASSWORD)) != FALSE, !storage);
        EXPECT_EQ(IsWindowEnabled(prompt.Item(IDC_SEC_REMOVE)) != FALSE, !storage);
        EXPECT_EQ(SendMessageW(prompt.Item(IDC_SEC_REMOVE), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(GetWindowLongW(prompt.Item(IDC_SEC_PASSWORD), GWL_STYLE) & ES_PASSWORD, 0);

        Type(prompt.Item(IDC_SEC_ID), L"x");
        Type(prompt.Item(IDC_SEC_PASSWORD), L"y");
        prompt.Press(IDC_SEC_OK);
        EXPECT_EQ(prompt.Wait(), 1);
    }
}

TEST_F(Prompts, StoragePrintStoresTheIdAnEmptyPasswordAndRemoveFile)
{
    Prompt prompt(std::wstring(L"security 1 \"") + kPrinter + L"\" 0");
    ASSERT_NE(prompt.Dialog(), nullptr);
    HWND id = prompt.Item(IDC_SEC_ID);

    SetMessageKey(L"0");
    prompt.Press(IDC_SEC_OK);
    EXPECT_TRUE(prompt.StillOpenAfterClose()) << "no job ID yet";
    EXPECT_EQ(MessageKey(), L"1028");

    Type(id, L"Job 1#@;.-_x");
    EXPECT_EQ(Text(id), L"Job 1#@;.-_x");
    prompt.Press(IDC_SEC_OK);
    EXPECT_EQ(prompt.Wait(), 1);
    ExpectStored(spool_, {{L"SecID", REG_SZ, TextBuffer(L"Job 1#@;.-_x")},
                          {L"SecPassWord", REG_SZ, TextBuffer(L"")},
                          {L"SecRemoveFile", REG_DWORD, Dword(1)}});
}

TEST_F(Prompts, SecurityPrintChecksEveryKeystroke)
{
    Prompt prompt(std::wstring(L"security 2 \"") + kPrinter + L"\" 0");
    ASSERT_NE(prompt.Dialog(), nullptr);
    HWND id = prompt.Item(IDC_SEC_ID);
    HWND password = prompt.Item(IDC_SEC_PASSWORD);

    Type(id, L"ab/");
    EXPECT_EQ(Text(id), L"ab");
    DWORD start = 0, end = 0;
    SendMessageW(id, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(end, 2u) << "caret after the text, nothing selected";

    Type(id, L"cdefghijklmnopqr");
    EXPECT_EQ(Text(id), L"abcdefghijklmnop") << "the 17th character cannot be typed";
    Backspace(id, 16);
    EXPECT_EQ(Text(id), L"");

    Type(password, L"12345678901234567");
    EXPECT_EQ(Text(password), L"1234567890123456");
    Backspace(password, 16);
    Type(password, L"pw\u00E9");
    EXPECT_EQ(Text(password), L"pw") << "a non-ASCII character is refused";
    Backspace(password, 2);

    SetMessageKey(L"0");
    Type(id, L"job");
    prompt.Press(IDC_SEC_OK);
    EXPECT_TRUE(prompt.StillOpenAfterClose()) << "a security print needs a password";
    EXPECT_EQ(MessageKey(), L"1028");

    Type(password, L"pw");
    prompt.Press(IDC_SEC_OK);
    EXPECT_EQ(prompt.Wait(), 1);
    ExpectStored(spool_, {{L"SecID", REG_SZ, TextBuffer(L"job")},
                          {L"SecPassWord", REG_SZ, TextBuffer(L"pw")},
                          {L"SecRemoveFile", REG_DWORD, Dword(1)}});
}

// A longer text shortened again must not leave its tail in the stored buffer.
TEST_F(Prompts, SecurityPrintStoresZerosAfterTheTerminator)
{
    Prompt prompt(std::wstring(L"security 2 \"") + kPrinter + L"\" 2052");
    ASSERT_NE(prompt.Dialog(), nullptr);
    HWND id = prompt.Item(IDC_SEC_ID);
    HWND password = prompt.Item(IDC_SEC_PASSWORD);

    Type(id, L"secret12");
    Backspace(id, 7);
    Type(password, L"Pass word~99");
    Backspace(password, 7);
    Type(password, L"d!");
    prompt.Press(IDC_SEC_REMOVE);
    prompt.Press(IDC_SEC_OK);
    EXPECT_EQ(prompt.Wait(), 1);
    ExpectStored(spool_, {{L"SecID", REG_SZ, TextBuffer(L"s")},
                          {L"SecPassWord", REG_SZ, TextBuffer(L"Pass d!")},
                          {L"SecRemoveFile", REG_DWORD, Dword(0)}});
}

TEST_F(Prompts, SecurityTypeThreeShowsNothing)
{
    EXPECT_EQ(RunBeside(L"mfpsm.exe", std::wstring(L"security 3 \"") + kPrinter + L"\" 0", kTimeoutMs), 1);
    EXPECT_TRUE(spool_.Calls(L"SetPrinterData").empty());
}

// Both prompts as an administrator, as a standard user granted limited
// management, as a plain standard user, and against printers that refuse or
// fail: the answers reach the printer whole, or the user is told why in the
// prompt's language and the process ends with 2, leaving no value behind.
TEST_F(Prompts, AnswersReachThePrinterWholeOrTheUserIsToldWhy)
{
    const DWORD kAdminister = PRINTER_ACCESS_ADMINISTER, kLimited = PRINTER_ACCESS_MANAGE_LIMITED;
    const struct {
        bool secure;
        SpoolRights rights;
        bool refuseOpen;
        const wchar_t* failValue;
        const wchar_t* printer;
        int languageId, column;
        int exitCode;
        PromptFailure why;
        std::vector<DWORD> asked;
        const wchar_t* failDelete = L"";  // a value whose take-back fails, and stays
    } cases[] = {
        {true, SpoolRights::kAdmin, false, L"", kPrinter, 0, 0, 1, {}, {kAdminister}},
        {false, SpoolRights::kAdmin, false, L"", kPrinter, 1028, 1, 1, {}, {kAdminister}},
        {true, SpoolRights::kUserLimited, false, L"", kPrinter, 2052, 2, 1, {}, {kAdminister, kLimited}},
        {false, SpoolRights::kUserLimited, false, L"", kPrinter, 0, 0, 1, {}, {kAdminister, kLimited}},
        {true, SpoolRights::kUser, false, L"", kPrinter, 0, 0, 2, PromptFailure::kRefused, {kAdminister, kLimited}},
        {true, SpoolRights::kUser, false, L"", kPrinter, 1028, 1, 2, PromptFailure::kRefused, {kAdminister, kLimited}},
        {false, SpoolRights::kUser, false, L"", kPrinter, 2052, 2, 2, PromptFailure::kRefused, {kAdminister, kLimited}},
        {true, SpoolRights::kAdmin, false, L"SecRemoveFile", kPrinter, 1028, 1, 2, PromptFailure::kNotTaken, {kAdminister}},
        {false, SpoolRights::kUserLimited, false, L"ActPWD", kPrinter, 2052, 2, 2, PromptFailure::kNotTaken,
         {kAdminister, kLimited}},
        {true, SpoolRights::kAdmin, true, L"", kPrinter, 0, 0, 2, PromptFailure::kRefused, {kAdminister, kLimited}},
        {false, SpoolRights::kAdmin, false, L"", L"No such MFP", 1028, 1, 2, PromptFailure::kNoPrinter, {}},
        {true, SpoolRights::kAdmin, false, L"SecRemoveFile", kPrinter, 0, 0, 2, PromptFailure::kNotTaken, {kAdminister},
         L"SecID"},
    };
    for (const auto& c : cases) {
        SpoolSandbox spool;
        SpoolPrinterSeed printer;
        printer.name = kPrinter;
        printer.rights = c.rights;
        printer.refuseOpen = c.refuseOpen;
        printer.failValue = c.failValue;
        printer.failDelete = c.failDelete;
        spool.AddPrinter(printer);
        std::wstring command = std::wstring(c.secure ? L"security 2 \"" : L"accounting \"") + c.printer + L"\" " +
                               std::to_wstring(c.languageId);
        SCOPED_TRACE(Show(command) + ", rights " + std::to_string(static_cast<int>(c.rights)) + ", failing " +
                     Show(c.failValue));
        Prompt prompt(command);
        ASSERT_NE(prompt.Dialog(), nullptr);
        Type(prompt.Item(c.secure ? IDC_SEC_ID : IDC_ACT_NAME), L"job");
        Type(prompt.Item(c.secure ? IDC_SEC_PASSWORD : IDC_ACT_PASSWORD), L"pw");
        SetMessageKey(L"0");
        prompt.Press(c.secure ? IDC_SEC_OK : IDC_ACT_OK);
        if (c.exitCode == 2) {
            HWND box = prompt.WaitForMessageBox();
            ASSERT_NE(box, nullptr) << "the user is told";
            EXPECT_EQ(Text(box), Text(prompt.Dialog())) << "the prompt's title";
            EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)), W16(SM_PromptFailureText(c.why, c.column).c_str()));
            EXPECT_FALSE(IsWindowEnabled(prompt.Dialog())) << "the prompt waits for the message";
            PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        }
        EXPECT_EQ(prompt.Wait(), c.exitCode);
        EXPECT_EQ(MessageKey(), L"1028");
        size_t values = c.exitCode == 1 ? (c.secure ? 3u : 2u) : c.failDelete[0] ? 1u : 0u;
        EXPECT_EQ(spool.Data(kPrinter).size(), values) << "all values or none, but one that would not go";
        std::vector<DWORD> asked;
        for (const SpoolCall& open : spool.Calls(L"OpenPrinter"))
            asked.push_back(open.access);
        EXPECT_EQ(asked, c.asked);
    }
}

TEST_F(Prompts, AccountingDialogTextsPerLanguage)
{
    const struct {
        int languageId;
        int column;
    } runs[] = {{0, 0}, {1028, 1}, {2052, 2}, {1049, 6}};
    for (const auto& run : runs) {
        SCOPED_TRACE("language " + std::to_string(run.languageId));
        Prompt prompt(std::wstring(L"accounting \"") + kPrinter + L"\" " + std::to_wstring(run.languageId));
        ASSERT_NE(prompt.Dialog(), nullptr);
        EXPECT_EQ(PaintedText(prompt.Item(IDC_ACT_OK)), PromptText(kPromptAccountingOk, run.column));
        EXPECT_EQ(Text(prompt.Dialog()), PromptText(kPromptAccountingTitle, run.column));
        const int ids[] = {IDC_ACT_NAME_LABEL, IDC_ACT_NAME_HINT, IDC_ACT_PASSWORD_LABEL, IDC_ACT_PASSWORD_HINT};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(prompt.ItemText(ids[i]), PromptText(kPromptUserLabel + i, run.column)) << ids[i];
        EXPECT_NE(GetWindowLongW(prompt.Item(IDC_ACT_PASSWORD), GWL_STYLE) & ES_PASSWORD, 0);

        Type(prompt.Item(IDC_ACT_NAME), L"u");
        Type(prompt.Item(IDC_ACT_PASSWORD), L"p");
        prompt.Press(IDC_ACT_OK);
        EXPECT_EQ(prompt.Wait(), 1);
    }
}

TEST_F(Prompts, AccountingChecksEveryKeystrokeAndStoresNameAndPassword)
{
    Prompt prompt(std::wstring(L"accounting \"") + kPrinter + L"\" 1028");
    ASSERT_NE(prompt.Dialog(), nullptr);
    HWND name = prompt.Item(IDC_ACT_NAME);
    HWND password = prompt.Item(IDC_ACT_PASSWORD);

    Type(name, std::wstring(29, L'n'));
    EXPECT_EQ(Text(name), std::wstring(28, L'n')) << "the 29th character cannot be typed";
    Type(password, std::wstring(29, L'p'));
    EXPECT_EQ(Text(password), std::wstring(28, L'p'));
    Backspace(name, 28);
    Backspace(password, 28);

    Type(name, L"ab/");
    EXPECT_EQ(Text(name), L"ab");
    DWORD start = 0, end = 0;
    SendMessageW(name, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(end, 2u);
    Backspace(name, 2);

    SetMessageKey(L"0");
    prompt.Press(IDC_ACT_OK);
    EXPECT_TRUE(prompt.StillOpenAfterClose()) << "no user name";
    EXPECT_EQ(MessageKey(), L"1028");

    Type(name, L"Jo Do.e-x_y@z;#1");
    SetMessageKey(L"0");
    prompt.Press(IDC_ACT_OK);
    EXPECT_TRUE(prompt.StillOpenAfterClose()) << "no password";
    EXPECT_EQ(MessageKey(), L"1028");

    Type(password, L"longer secret");
    Backspace(password, 7);
    Type(password, L"\u5BC6");
    EXPECT_EQ(Text(password), L"longer") << "a non-ASCII character is refused";
    prompt.Press(IDC_ACT_OK);
    EXPECT_EQ(prompt.Wait(), 1);
    ExpectStored(spool_, {{L"ActName", REG_SZ, TextBuffer(L"Jo Do.e-x_y@z;#1")},
                          {L"ActPWD", REG_SZ, TextBuffer(L"longer")}});
}

namespace {

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

// Wine's own spooler with the print server's queue: the answers typed into
// the controls are read back by the driver side (drvsim), another process,
// through the same spooler, with their type and size.
TEST(RealSpoolerPrompts, AnswersAreReadBackThroughTheSpoolerWithTypeAndSize)
{
    const struct {
        std::wstring command;
        const wchar_t* id;
        const wchar_t* password;
        bool uncheck;
        std::vector<const wchar_t*> values;
        std::string readBack;
    } prompts[] = {
        {L"accounting MFP_USB 0", L"j.doe@finance", L"Sesame 11", false, {L"ActName", L"ActPWD"},
         "ActName: REG_SZ, 520 bytes, \"j.doe@finance\", the rest zero\r\n"
         "ActPWD: REG_SZ, 520 bytes, \"Sesame 11\", the rest zero\r\n"},
        {L"security 2 MFP_USB 1028", L"Payroll#7", L"s3cret pass", true, {L"SecID", L"SecPassWord", L"SecRemoveFile"},
         "SecID: REG_SZ, 520 bytes, \"Payroll#7\", the rest zero\r\n"
         "SecPassWord: REG_SZ, 520 bytes, \"s3cret pass\", the rest zero\r\n"
         "SecRemoveFile: REG_DWORD, 4 bytes, 0\r\n"},
        {L"security 1 MFP_USB 2052", L"Quarterly-Report", L"", false, {L"SecID", L"SecPassWord", L"SecRemoveFile"},
         "SecID: REG_SZ, 520 bytes, \"Quarterly-Report\", the rest zero\r\n"
         "SecPassWord: REG_SZ, 520 bytes, \"\", the rest zero\r\n"
         "SecRemoveFile: REG_DWORD, 4 bytes, 1\r\n"},
    };
    for (const auto& p : prompts) {
        SCOPED_TRACE(Show(p.command));
        SetStaleValues(p.values);
        bool secure = p.values.size() == 3;
        Prompt prompt(p.command);
        ASSERT_NE(prompt.Dialog(), nullptr);
        Type(prompt.Item(secure ? IDC_SEC_ID : IDC_ACT_NAME), p.id);
        Type(prompt.Item(secure ? IDC_SEC_PASSWORD : IDC_ACT_PASSWORD), p.password);
        if (p.uncheck)
            SendMessageW(prompt.Item(IDC_SEC_REMOVE), BM_CLICK, 0, 0);
        prompt.Press(secure ? IDC_SEC_OK : IDC_ACT_OK);
        EXPECT_EQ(prompt.Wait(), 1);

        std::wstring command = L"\"" + BesideTest(L"drvsim.exe") + L"\" printer-data MFP_USB";
        for (const wchar_t* name : p.values)
            command += std::wstring(L" ") + name;
        int code = -1;
        EXPECT_EQ(RunCapture(command, kTimeoutMs, &code), p.readBack);
        EXPECT_EQ(code, 0);
    }
}
