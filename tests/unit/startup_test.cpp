#include <gtest/gtest.h>

#include "app/dispatch.h"
#include "app/resident.h"
#include "common/globals.h"
#include "monitor/monitor_window.h"
#include "resources/resource.h"
#include "testkit/wine_test.h"

namespace {

// What the timer callback saw of the running monitor.
struct Observed {
    HWND window = nullptr;
    bool visible = true;
    LONG style = 0;
    wchar_t title[64] = L"";
    bool menuHasMove = true, menuHasSize = true, menuHasClose = false;
    int secondStart = -1;
    LRESULT privateAnswers[2] = {-1, -1};
};
Observed g_seen;

bool MenuHas(HMENU menu, UINT command)
{
    return GetMenuState(menu, command, MF_BYCOMMAND) != static_cast<UINT>(-1);
}

void CALLBACK InspectAndExit(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    HWND window = FindWindowW(g_szModuleName, nullptr);
    g_seen.window = window;
    if (!window) {
        PostQuitMessage(7);
        return;
    }
    g_seen.visible = IsWindowVisible(window) != FALSE;
    g_seen.style = GetWindowLongW(window, GWL_STYLE);
    GetWindowTextW(window, g_seen.title, 64);
    HMENU menu = GetSystemMenu(window, FALSE);
    g_seen.menuHasMove = MenuHas(menu, SC_MOVE);
    g_seen.menuHasSize = MenuHas(menu, SC_SIZE);
    g_seen.menuHasClose = MenuHas(menu, SC_CLOSE);
    g_seen.secondStart = SM_RunResident();
    g_seen.privateAnswers[0] = SendMessageW(window, WM_SM_PSTATUS, 1, 2);
    g_seen.privateAnswers[1] = SendMessageW(window, WM_LM_ALIVE, 1, 2);
    SendMessageW(window, WM_SM_EXIT, 0, 0);
}

} // namespace

TEST(ResidentPath, HiddenWindowEndsOnExitMessage)
{
    InitProcessValues();
    wcscpy(g_szModuleName, L"mfpsm_unit_startup");
    g_PrevErrCodes[3] = 77;
    ASSERT_NE(SetTimer(nullptr, 0, 400, InspectAndExit), 0u);

    EXPECT_EQ(SM_RunResident(), 0);

    ASSERT_NE(g_seen.window, nullptr);
    EXPECT_EQ(g_seen.window, g_hMonitorWnd);
    EXPECT_FALSE(g_seen.visible);
    EXPECT_STREQ(g_seen.title, L"MFP Status Monitor");
    EXPECT_EQ(g_seen.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU), static_cast<LONG>(WS_POPUP));
    EXPECT_FALSE(g_seen.menuHasMove);
    EXPECT_FALSE(g_seen.menuHasSize);
    EXPECT_EQ(g_seen.secondStart, 0) << "a second start finds the window and ends";
    EXPECT_EQ(g_seen.privateAnswers[0], 0);
    EXPECT_EQ(g_seen.privateAnswers[1], 0);
    EXPECT_EQ(g_PrevErrCodes[3], 0) << "the previous list is zeroed before the loop";
    EXPECT_FALSE(IsWindow(g_seen.window));
}

namespace {

int g_promptsAnswered = 0;
int g_messagesClosed = 0;

// Answers the prompt, and then the message it shows when its answers do not
// reach the printer; the prompt is disabled while its message is up.
BOOL CALLBACK AnswerDialog(HWND window, LPARAM)
{
    wchar_t className[16] = L"";
    GetClassNameW(window, className, 16);
    if (wcscmp(className, L"#32770") != 0)
        return TRUE;
    if (GetWindow(window, GW_OWNER)) {
        PostMessageW(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
        ++g_messagesClosed;
        return FALSE;
    }
    if (!GetDlgItem(window, IDC_ACT_NAME) || !IsWindowEnabled(window) || g_promptsAnswered)
        return TRUE;
    SendDlgItemMessageW(window, IDC_ACT_NAME, WM_CHAR, L'u', 1);
    SendDlgItemMessageW(window, IDC_ACT_PASSWORD, WM_CHAR, L'p', 1);
    PostMessageW(window, WM_CLOSE, 0, 0);
    ++g_promptsAnswered;
    return FALSE;
}

void CALLBACK AnswerPrompt(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), AnswerDialog, 0);
}

} // namespace

TEST(Dispatch, WordsAndTheirResults)
{
    InitProcessValues();
    const wchar_t* exe = L"C:\\x\\mfpsm_unit_dispatch.exe";
    const struct {
        std::vector<const wchar_t*> argv;
        int expected;
    } cases[] = {
        {{exe}, 1},
        {{exe, L"INSTALL"}, 1},
        {{exe, L"Preheat", L"printer"}, 1},
        {{exe, L"security", L"3", L"printer", L"1033"}, 1},
        {{exe, L"whatever"}, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SM_DispatchCommand(c.argv.data(), static_cast<int>(c.argv.size()), L"mfpsm_unit_dispatch", exe),
                  c.expected);
    EXPECT_EQ(g_SecurityType, 3);
    EXPECT_STREQ(g_szTargetPrinter, L"printer");
    EXPECT_EQ(g_Language, 0);

    // "accounting" runs its prompt modally on this thread: a timer answers it.
    // No spooler lists the printer, so the answers cannot be handed on.
    const wchar_t* accounting[] = {exe, L"accounting", L"Office \u00e9", L"2052"};
    UINT_PTR timer = SetTimer(nullptr, 0, 100, AnswerPrompt);
    EXPECT_EQ(SM_DispatchCommand(accounting, 4, L"mfpsm_unit_dispatch", exe), kExitAnswersNotHanded);
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_promptsAnswered, 1);
    EXPECT_EQ(g_messagesClosed, 1);
    EXPECT_STREQ(g_szTargetPrinter, L"Office \u00e9");
    EXPECT_EQ(g_Language, 2);
}

namespace {

SM_SessionVerdict g_verdict = SM_SessionVerdict::UserSession;
int g_judged = 0;

SM_SessionVerdict JudgeAsTold()
{
    ++g_judged;
    return g_verdict;
}

constexpr const wchar_t* kRunKeyPath = L"software\\microsoft\\windows\\currentversion\\run";

void DeleteRunValue(const wchar_t* name)
{
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        RegDeleteKeyValueW(root, kRunKeyPath, name);
}

} // namespace

// What each verdict makes of the starts that ask for one: "install" always
// records the logon start and stays only in a user's session with the
// user's own rights; "logon" stays the same way and records nothing; a
// prompt in session 0 ends with 2 without showing anything.
TEST(Dispatch, EachVerdictDecidesWhatStaysAndWhatIsShown)
{
    InitProcessValues();
    using V = SM_SessionVerdict;
    const wchar_t* exe = L"C:\\x\\mfpsm_unit_verdict.exe";
    const wchar_t* name = L"mfpsm_unit_verdict";
    const wchar_t* install[] = {exe, L"install"};
    const wchar_t* logon[] = {exe, L"logon"};
    const wchar_t* security[] = {exe, L"security", L"2", L"Office MFP", L"1033"};
    const wchar_t* accounting[] = {exe, L"accounting", L"Office MFP", L"1033"};
    for (V verdict : {V::UserSession, V::Elevated, V::LocalSystem, V::ServicesSession, V::OtherUser}) {
        SCOPED_TRACE("verdict " + std::to_string(static_cast<int>(verdict)));
        g_verdict = verdict;
        const int resident = verdict == V::UserSession ? kDispatchResident : 0;
        DeleteRunValue(name);
        g_judged = 0;
        EXPECT_EQ(SM_DispatchCommand(install, 2, name, exe, JudgeAsTold), resident);
        std::wstring recorded;
        EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKeyPath, name, &recorded));
        EXPECT_EQ(recorded, L"C:\\x\\mfpsm_unit_verdict.exe logon");

        DeleteRunValue(name);
        EXPECT_EQ(SM_DispatchCommand(logon, 2, name, exe, JudgeAsTold), resident);
        EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRunKeyPath, name, &recorded));
        EXPECT_FALSE(ReadRegString(HKEY_CURRENT_USER, kRunKeyPath, name, &recorded));
        EXPECT_EQ(g_judged, 2);
        if (verdict != V::ServicesSession)
            continue;
        EXPECT_EQ(SM_DispatchCommand(security, 5, name, exe, JudgeAsTold), kExitAnswersNotHanded);
        EXPECT_EQ(SM_DispatchCommand(accounting, 4, name, exe, JudgeAsTold), kExitAnswersNotHanded);
        EXPECT_EQ(g_judged, 4);
    }
    DeleteRunValue(name);
}
