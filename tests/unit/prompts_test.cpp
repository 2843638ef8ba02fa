// The prompt dialogs against the real Windows API: the dialog templates as
// the resource compiler laid them out, the start-up placement, and the
// character rule with the runtime's own wide-character classification.
#include <gtest/gtest.h>

#include <windows.h>
#include <imm.h>
#include <winspool.h>

#include <string>

#include "common/globals.h"
#include "prompts/accounting_dialog.h"
#include "prompts/check_string.h"
#include "prompts/prompt_dialog.h"
#include "prompts/secure_dialog.h"
#include "resources/resource.h"
#include "testkit/spool.h"
#include "testkit/trace_capture.h"
#include "testkit/wine_test.h"

namespace {

struct ControlLayout {
    int id;
    const wchar_t* className;
    RECT units;          // x, y, width, height in dialog units (right/bottom hold width/height)
    DWORD style;         // style bits that must be set
    DWORD absentStyle;   // style bits that must not be set
};

INT_PTR CALLBACK PlainProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

class DialogWindow {
public:
    DialogWindow(int resource, DLGPROC proc)
        : window_(CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), nullptr, proc, 0))
    {
    }
    ~DialogWindow()
    {
        if (window_)
            DestroyWindow(window_);
    }
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;
    HWND Get() const { return window_; }

private:
    HWND window_;
};

void ExpectLayout(HWND dialog, const ControlLayout* controls, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const ControlLayout& c = controls[i];
        HWND control = GetDlgItem(dialog, c.id);
        ASSERT_NE(control, nullptr) << c.id;
        wchar_t className[64] = L"";
        GetClassNameW(control, className, 64);
        EXPECT_EQ(_wcsicmp(className, c.className), 0) << c.id << " is " << std::string(className, className + wcslen(className));

        // The dialog manager converts position and size separately.
        RECT expected = c.units;
        MapDialogRect(dialog, &expected);
        RECT actual;
        GetWindowRect(control, &actual);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, expected.left) << c.id;
        EXPECT_EQ(actual.top, expected.top) << c.id;
        EXPECT_EQ(actual.right - actual.left, expected.right) << c.id;
        EXPECT_EQ(actual.bottom - actual.top, expected.bottom) << c.id;

        // A dialog turns the border of an edit field into a sunken client edge.
        DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
        if (GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)
            style |= WS_BORDER;
        EXPECT_EQ(style & c.style, c.style) << c.id << " style 0x" << std::hex << style;
        EXPECT_EQ(style & c.absentStyle, 0u) << c.id << " style 0x" << std::hex << style;
        EXPECT_EQ(GetWindowTextLengthW(control), 0) << c.id << ": the template holds no texts";
    }
}

void ExpectFrame(HWND dialog)
{
    DWORD style = static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE));
    DWORD exStyle = static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE));
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | DS_MODALFRAME), static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_MODALFRAME));
    EXPECT_EQ(style & WS_SYSMENU, 0u) << "no system menu, so no close box";
    EXPECT_NE(exStyle & WS_EX_APPWINDOW, 0u) << "a taskbar button";
    EXPECT_EQ(GetWindowTextLengthW(dialog), 0);

    RECT size = {0, 0, 259, 150};
    MapDialogRect(dialog, &size);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof(font), &font);
    EXPECT_STREQ(font.lfFaceName, L"Courier New");
}

constexpr DWORD kLabel = SS_LEFT | WS_GROUP;
constexpr DWORD kHint = SS_LEFT | WS_GROUP | SS_SUNKEN;
constexpr DWORD kEdit = WS_BORDER | WS_TABSTOP;

} // namespace

TEST(PromptTemplates, SecurePrintDialog103)
{
    DialogWindow dialog(IDD_SECURE, PlainProc);
    ASSERT_NE(dialog.Get(), nullptr);
    ExpectFrame(dialog.Get());
    const ControlLayout controls[] = {
        {IDC_SEC_ID_LABEL, L"Static", {21, 18, 62, 8}, kLabel, SS_SUNKEN},
        {IDC_SEC_ID, L"Edit", {108, 14, 134, 14}, kEdit, ES_PASSWORD},
        {IDC_SEC_ID_HINT, L"Static", {21, 31, 221, 37}, kHint, 0},
        {IDC_SEC_PASSWORD_LABEL, L"Static", {21, 76, 62, 8}, kLabel, SS_SUNKEN},
        {IDC_SEC_PASSWORD, L"Edit", {108, 72, 134, 14}, kEdit, ES_PASSWORD},
        {IDC_SEC_PASSWORD_HINT, L"Static", {21, 90, 221, 20}, kHint, 0},
        {IDC_SEC_REMOVE, L"Button", {88, 116, 154, 10}, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
        {IDC_SEC_OK, L"Button", {192, 131, 50, 14}, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    };
    ExpectLayout(dialog.Get(), controls, std::size(controls));
}

TEST(PromptTemplates, AccountingDialog108MasksThePassword)
{
    DialogWindow dialog(IDD_ACCOUNTING, PlainProc);
    ASSERT_NE(dialog.Get(), nullptr);
    ExpectFrame(dialog.Get());
    const ControlLayout controls[] = {
        {IDC_ACT_NAME_LABEL, L"Static", {21, 18, 62, 8}, kLabel, SS_SUNKEN},
        {IDC_ACT_NAME, L"Edit", {108, 14, 134, 14}, kEdit, ES_PASSWORD},
        {IDC_ACT_NAME_HINT, L"Static", {21, 31, 221, 37}, kHint, 0},
        {IDC_ACT_PASSWORD_LABEL, L"Static", {21, 76, 62, 8}, kLabel, SS_SUNKEN},
        {IDC_ACT_PASSWORD, L"Edit", {108, 72, 134, 14}, kEdit | ES_PASSWORD, 0},
        {IDC_ACT_PASSWORD_HINT, L"Static", {21, 90, 221, 20}, kHint, 0},
        {IDC_ACT_OK, L"Button", {192, 131, 50, 14}, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    };
    ExpectLayout(dialog.Get(), controls, std::size(controls));
}

TEST(SecureDialog, StartsCentredTopmostWithTheIdFieldFocused)
{
    InitProcessValues();
    g_SecurityType = 2;
    g_Language = 0;
    DialogWindow dialog(IDD_SECURE, Secure_DlgProc);
    ASSERT_NE(dialog.Get(), nullptr);

    RECT desktop, client, window;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetClientRect(dialog.Get(), &client);
    GetWindowRect(dialog.Get(), &window);
    EXPECT_EQ(window.left, std::max<LONG>(0, (desktop.right - client.right) / 2));
    EXPECT_EQ(window.top, std::max<LONG>(0, (desktop.bottom - client.bottom) / 2));
    EXPECT_NE(GetWindowLongW(dialog.Get(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog.Get(), IDC_SEC_ID));
    EXPECT_EQ(IsDlgButtonChecked(dialog.Get(), IDC_SEC_REMOVE), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(SendDlgItemMessageW(dialog.Get(), IDC_SEC_ID, EM_GETLIMITTEXT, 0, 0), 16);
    EXPECT_EQ(SendDlgItemMessageW(dialog.Get(), IDC_SEC_PASSWORD, EM_GETLIMITTEXT, 0, 0), 16);
}

// The fields take ASCII only, so no IME may compose into them.
TEST(PromptFields, NoFieldHasAnInputContext)
{
    InitProcessValues();
    g_SecurityType = 2;
    const struct {
        int dialog;
        DLGPROC proc;
        int fields[2];
    } prompts[] = {
        {IDD_SECURE, Secure_DlgProc, {IDC_SEC_ID, IDC_SEC_PASSWORD}},
        {IDD_ACCOUNTING, Accounting_DlgProc, {IDC_ACT_NAME, IDC_ACT_PASSWORD}},
    };
    for (const auto& prompt : prompts) {
        DialogWindow dialog(prompt.dialog, prompt.proc);
        ASSERT_NE(dialog.Get(), nullptr);
        for (int id : prompt.fields) {
            HWND field = GetDlgItem(dialog.Get(), id);
            EXPECT_EQ(ImmGetContext(field), nullptr) << "field " << id;
            // Where the system gives a field a context, the field's reset
            // takes it away again.
            HIMC own = ImmCreateContext();
            ImmAssociateContext(field, own);
            HIMC got = ImmGetContext(field);
            EXPECT_EQ(got, own) << "field " << id;
            ImmReleaseContext(field, got);
            MISC_ResetPromptField(dialog.Get(), id, 16);
            EXPECT_EQ(ImmGetContext(field), nullptr) << "field " << id;
            ImmDestroyContext(own);
        }
    }
}

TEST(CheckString, LettersAndDigitsAsTheWindowsRuntimeClassifiesThem)
{
    const struct {
        const wchar_t* text;
        unsigned kind;
        int expected;
    } cases[] = {
        {L"12-34", 1, 1},
        {L"\u00E9", 1, 0},   // Latin small e with acute
        {L"\u4E2D", 1, 0},   // a CJK ideograph
        {L"\u03A9", 1, 0},   // Greek capital omega
        {L"1\u00E9", 2, 0},
        {L"\u00E9\u4E2D", 2, 1},
        {L"\uFF11", 2, 0},   // full-width digit one
        {L"\u0663", 2, 0},   // Arabic-Indic digit three
        {L"\uFF11", 3, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MISC_CheckString(c.text, static_cast<unsigned>(wcslen(c.text)), c.kind), c.expected)
            << "kind " << c.kind << " unit 0x" << std::hex << static_cast<unsigned>(c.text[0]);
    EXPECT_EQ(MISC_CheckString(L"ab/cd", 2, 3), 1) << "units past the length are not examined";
    EXPECT_EQ(MISC_CheckString(L"ab/cd", 3, 3), 0);
    EXPECT_EQ(MISC_CheckString(nullptr, 0, 0), 1);
}

TEST(CheckString, TracesNoPasswordText)
{
    TraceSwitches saved = g_TraceSwitches;
    ScratchDir scratch;
    std::wstring log = scratch.File(L"trace.log");
    g_TraceSwitches.minLevel = 1;
    g_TraceSwitches.channel = 1;
    g_TraceSwitches.channelFlags[0] = 1;
    g_TraceSwitches.logFileFlag = 1;
    wcscpy(g_TraceSwitches.logFilePath, log.c_str());

    EXPECT_EQ(MISC_CheckString(L"Hunter2pw", 9, 0), 1);
    EXPECT_EQ(MISC_CheckString(L"JobName/x", 9, 3), 0);
    g_TraceSwitches = saved;

    std::vector<unsigned char> bytes = ReadAllBytes(log);
    std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.find("Hunter2pw"), std::string::npos) << text;
    EXPECT_EQ(text.find("0x0048"), std::string::npos) << "no unit of the password either: " << text;
    EXPECT_NE(text.find("length 9, result 1"), std::string::npos) << text;
    EXPECT_NE(text.find("JobName/x"), std::string::npos) << "other kinds show what was refused: " << text;
    EXPECT_NE(text.find("0x002F fail"), std::string::npos) << text;
}

// The target printer comes from the driver's command line; only a printer
// the spooler lists is opened, anything else is a printer that cannot be
// opened (nothing stored, the user told).
TEST(PromptPrinter, OnlyAListedPrinterIsOpened)
{
    SpoolSandbox spool;
    SpoolPrinterSeed printer;
    printer.name = L"Office MFP";
    spool.AddPrinter(printer);
    PromptFailure why = PromptFailure::kRefused;
    for (const wchar_t* name : {L"\\\\host\\share", L"Office MFP,Job 7", L""}) {
        wcsncpy(g_szTargetPrinter, name, kTextUnits - 1);
        EXPECT_EQ(MISC_OpenTargetPrinter(&why), nullptr);
        EXPECT_EQ(why, PromptFailure::kNoPrinter);
    }
    EXPECT_TRUE(spool.Calls(L"OpenPrinter").empty());

    wcsncpy(g_szTargetPrinter, L"Office MFP", kTextUnits - 1);
    HANDLE opened = MISC_OpenTargetPrinter(&why);
    EXPECT_NE(opened, nullptr);
    if (opened)
        ClosePrinter(opened);
    EXPECT_EQ(spool.Calls(L"OpenPrinter").size(), 1u);
    g_szTargetPrinter[0] = L'\0';
}

// All values or none: a failing one takes back those stored before it, so
// the driver never reads new answers beside a previous user's.
TEST(PromptPrinter, StoresEveryAnswerOrNone)
{
    const DWORD one = 1;
    const PromptValue values[] = {
        {L"First", REG_DWORD, &one, sizeof(one)},
        {L"Second", REG_DWORD, &one, sizeof(one)},
        {L"Third", REG_DWORD, &one, sizeof(one)},
    };
    const struct {
        SpoolRights rights;
        const wchar_t* failValue;
        int stored;
        PromptFailure why;
        std::vector<std::wstring> calls;  // data calls: "+name" set, "-name" deleted, "!name" refused, "?name" kept
        size_t valuesLeft;
        const wchar_t* failDelete = L"";
    } cases[] = {
        {SpoolRights::kAdmin, L"", 1, PromptFailure::kNoPrinter, {L"+First", L"+Second", L"+Third"}, 3},
        {SpoolRights::kUserLimited, L"", 1, PromptFailure::kNoPrinter, {L"+First", L"+Second", L"+Third"}, 3},
        {SpoolRights::kAdmin, L"Third", 0, PromptFailure::kNotTaken,
         {L"+First", L"+Second", L"!Third", L"-First", L"-Second"}, 0},
        {SpoolRights::kUserLimited, L"First", 0, PromptFailure::kNotTaken, {L"!First"}, 0},
        {SpoolRights::kUser, L"", 0, PromptFailure::kRefused, {}, 0},
        // A value that will not go is left, traced; the others still go.
        {SpoolRights::kAdmin, L"Third", 0, PromptFailure::kNotTaken,
         {L"+First", L"+Second", L"!Third", L"?First", L"-Second"}, 1, L"First"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("rights " + std::to_string(static_cast<int>(c.rights)) + ", failing value " +
                     std::string(c.failValue, c.failValue + wcslen(c.failValue)));
        SpoolSandbox spool;
        SpoolPrinterSeed printer;
        printer.name = L"Office MFP";
        printer.rights = c.rights;
        printer.failValue = c.failValue;
        printer.failDelete = c.failDelete;
        spool.AddPrinter(printer);
        wcsncpy(g_szTargetPrinter, L"Office MFP", kTextUnits - 1);
        PromptFailure why = PromptFailure::kNoPrinter;
        TraceCapture trace;
        EXPECT_EQ(MISC_StorePromptAnswers(values, 3, &why), c.stored);
        EXPECT_EQ(why, c.why);
        EXPECT_EQ(trace.Count("delete First fail!"), c.failDelete[0] ? 1u : 0u);
        std::vector<std::wstring> calls;
        for (const SpoolCall& call : spool.Calls()) {
            if (call.function == L"SetPrinterData")
                calls.push_back((call.ok ? L"+" : L"!") + call.name);
            if (call.function == L"DeletePrinterData")
                calls.push_back((call.ok ? L"-" : L"?") + call.name);
        }
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(spool.Data(L"Office MFP").size(), c.valuesLeft);
        size_t opened = 0;
        for (const SpoolCall& call : spool.Calls(L"OpenPrinter"))
            opened += call.ok;
        EXPECT_EQ(spool.Calls(L"ClosePrinter").size(), opened) << "every handle closed";
    }
    g_szTargetPrinter[0] = L'\0';
}
