// drvsim prompt-fill / prompt-ok / prompt-message: act as the user of a
// secure print or accounting prompt that mfpsm shows. Text is typed one
// character at a time (WM_CHAR), so the prompt's own length limits and
// character checks apply.
#include <cstdio>
#include <cwchar>

#include "resources/resource.h"
#include "tools/drvsim/drvsim.h"

namespace {

constexpr DWORD kWaitMs = 20000;

struct PromptFields {
    int id;        // job ID or user name field
    int password;
    int check;     // delete-after-printing check box; 0 in the accounting prompt
    int ok;
};

constexpr PromptFields kSecure = {IDC_SEC_ID, IDC_SEC_PASSWORD, IDC_SEC_REMOVE, IDC_SEC_OK};
constexpr PromptFields kAccounting = {IDC_ACT_NAME, IDC_ACT_PASSWORD, 0, IDC_ACT_OK};

struct Search {
    HWND dialog;
    const PromptFields* fields;
};

BOOL CALLBACK MatchPrompt(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<Search*>(lParam);
    wchar_t className[16] = L"";
    GetClassNameW(window, className, 16);
    if (wcscmp(className, L"#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    for (const PromptFields* fields : {&kSecure, &kAccounting}) {
        if (GetDlgItem(window, fields->id) && GetDlgItem(window, fields->ok)) {
            *search = {window, fields};
            return FALSE;
        }
    }
    return TRUE;
}

// Waits for the prompt and for its first paint, which sets its texts.
Search WaitForPrompt()
{
    DWORD start = GetTickCount();
    for (;;) {
        Search search = {nullptr, nullptr};
        EnumWindows(MatchPrompt, reinterpret_cast<LPARAM>(&search));
        if (search.dialog && GetWindowTextLengthW(GetDlgItem(search.dialog, search.fields->ok)) > 0)
            return search;
        if (GetTickCount() - start > kWaitMs)
            return {nullptr, nullptr};
        Sleep(50);
    }
}

void Type(HWND edit, const std::wstring& text)
{
    for (wchar_t c : text)
        SendMessageW(edit, WM_CHAR, c, 1);
}

void PrintField(const wchar_t* label, HWND edit)
{
    wchar_t text[300] = L"";
    SendMessageW(edit, WM_GETTEXT, 300, reinterpret_cast<LPARAM>(text));
    if (GetWindowLongW(edit, GWL_STYLE) & ES_PASSWORD)
        wprintf(L"%ls: %zu characters (masked)\n", label, wcslen(text));
    else
        wprintf(L"%ls: \"%ls\"%ls\n", label, text, IsWindowEnabled(edit) ? L"" : L" (disabled)");
}

// Texts may be Chinese: written as UTF-8 bytes, which the console's ANSI
// code page could not carry.
void PrintUtf8(const char* format, HWND window)
{
    wchar_t text[1024] = L"";
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    char utf8[4096] = "";
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
    fflush(stdout);
    printf(format, utf8);
    fflush(stdout);
}

void PrintTitle(HWND dialog)
{
    PrintUtf8("prompt \"%s\"\n", dialog);
}

BOOL CALLBACK MatchOwnedBox(HWND window, LPARAM lParam)
{
    auto* box = reinterpret_cast<HWND*>(lParam);
    wchar_t className[16] = L"";
    GetClassNameW(window, className, 16);
    if (wcscmp(className, L"#32770") != 0 || GetWindow(window, GW_OWNER) != *box || !IsWindowVisible(window))
        return TRUE;
    *box = window;
    return FALSE;
}

// The message box the prompt owns, or null.
HWND OwnedMessageBox(HWND dialog)
{
    HWND box = dialog;
    EnumThreadWindows(GetWindowThreadProcessId(dialog, nullptr), MatchOwnedBox, reinterpret_cast<LPARAM>(&box));
    return box == dialog ? nullptr : box;
}

// prompt-fill ID [PASSWORD] [--uncheck]
int PromptFill(const std::vector<std::wstring>& args)
{
    if (args.empty() || args.size() > 3)
        return DrvsimFail(L"prompt-fill takes ID [PASSWORD] [--uncheck]");
    bool uncheck = args.back() == L"--uncheck";
    size_t texts = args.size() - (uncheck ? 1 : 0);
    Search prompt = WaitForPrompt();
    if (!prompt.dialog)
        return DrvsimFail(L"no prompt appeared within %lu ms", kWaitMs);
    HWND id = GetDlgItem(prompt.dialog, prompt.fields->id);
    HWND password = GetDlgItem(prompt.dialog, prompt.fields->password);
    Type(id, args[0]);
    if (texts > 1 && IsWindowEnabled(password))
        Type(password, args[1]);
    if (uncheck && prompt.fields->check)
        SendMessageW(GetDlgItem(prompt.dialog, prompt.fields->check), BM_CLICK, 0, 0);

    PrintTitle(prompt.dialog);
    PrintField(L"  first field", id);
    PrintField(L"  password", password);
    if (prompt.fields->check)
        wprintf(L"  delete after printing: %ls\n",
                IsDlgButtonChecked(prompt.dialog, prompt.fields->check) == BST_CHECKED ? L"checked" : L"unchecked");
    return 0;
}

// prompt-ok: presses OK and waits for the prompt to end.
int PromptOk(const std::vector<std::wstring>& args)
{
    if (!args.empty())
        return DrvsimFail(L"prompt-ok takes no arguments");
    Search prompt = WaitForPrompt();
    if (!prompt.dialog)
        return DrvsimFail(L"no prompt appeared within %lu ms", kWaitMs);
    PostMessageW(GetDlgItem(prompt.dialog, prompt.fields->ok), BM_CLICK, 0, 0);
    DWORD start = GetTickCount();
    while (IsWindow(prompt.dialog)) {
        if (OwnedMessageBox(prompt.dialog)) {
            wprintf(L"  the prompt shows a message (drvsim prompt-message reads and closes it)\n");
            return 0;
        }
        if (GetTickCount() - start > 3000)
            return DrvsimFail(L"the prompt refused to close (a required field is empty)");
        Sleep(50);
    }
    return 0;
}

// prompt-message: prints the message the prompt shows, presses its OK and
// waits for the prompt to end.
int PromptMessage(const std::vector<std::wstring>& args)
{
    if (!args.empty())
        return DrvsimFail(L"prompt-message takes no arguments");
    Search prompt = WaitForPrompt();
    if (!prompt.dialog)
        return DrvsimFail(L"no prompt appeared within %lu ms", kWaitMs);
    HWND box = nullptr;
    DWORD start = GetTickCount();
    while (!(box = OwnedMessageBox(prompt.dialog))) {
        if (GetTickCount() - start > kWaitMs)
            return DrvsimFail(L"the prompt shows no message");
        Sleep(50);
    }
    PrintUtf8("message \"%s\":\n", box);
    PrintUtf8("  %s\n", GetDlgItem(box, 0xFFFF));  // the text control of a message box
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    start = GetTickCount();
    while (IsWindow(prompt.dialog)) {
        if (GetTickCount() - start > kWaitMs)
            return DrvsimFail(L"the prompt did not end after its message");
        Sleep(50);
    }
    return 0;
}

} // namespace

DRVSIM_COMMAND(prompt_fill, L"prompt-fill", L"ID [PASSWORD] [--uncheck] (types into the open prompt)", PromptFill);
DRVSIM_COMMAND(prompt_ok, L"prompt-ok", L"(presses OK on the open prompt and waits for it to end or show a message)", PromptOk);
DRVSIM_COMMAND(prompt_message, L"prompt-message", L"(prints the open prompt's message, presses its OK, waits for the end)", PromptMessage);
