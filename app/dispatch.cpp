#include "app/dispatch.h"

#include "app/command_line.h"
#include "app/session_facts.h"
#include "common/globals.h"
#include "common/registry.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/utf16.h"
#include "preheat/preheat_job.h"
#include "preheat/wakeup_stream.h"
#include "prompts/accounting_dialog.h"
#include "prompts/secure_dialog.h"
#include "resources/resource.h"
#include "watermark/ibitmap.h"
#include "watermark/wm_job.h"

namespace {

constexpr const wchar_t* kTag = L"SM_DispatchCommand";

const wchar_t* Slot(const ArgTable& args, int i)
{
    return W16(args.slot[i]);
}

int SlotNumber(const ArgTable& args, int i)
{
    return MISC_TextToInt(SM_ArgText(args, i));
}

int Uninstall(const WCHAR* moduleName)
{
    HWND monitor = FindWindowW(moduleName, nullptr);
    MISC_DebugPrint(L"SM_PARAM_UNINSTALL");
    if (monitor) {
        TRACE_Tag(kTag, L"post WM_QUIT to the running monitor");
        // Straight to the monitor's thread queue: its loop ends, the window stays.
        PostMessageW(monitor, WM_QUIT, 0, 0);
    }
    SM_DeleteAutostart(moduleName);
    return kExitTaskDone;
}

int SetNumber(const ArgTable& args, const wchar_t* debugLine, const wchar_t* traceFormat,
              const wchar_t* valueName, const WCHAR* moduleName)
{
    MISC_DebugPrint(debugLine);
    TRACE_Tag(kTag, traceFormat, Slot(args, 2));
    MISC_SetRegValue(valueName, SlotNumber(args, 2), moduleName);
    return kExitTaskDone;
}

// A prompt in the services' session would wait for an answer nobody can give.
bool NoUserCanAnswer(SM_SessionJudge judge)
{
    if (SM_UserCanAnswer(judge()))
        return false;
    TRACE_TagError(kTag, L"no user can answer a prompt in this session");
    return true;
}

// A prompt ends with the exit code as its result. One that could not even
// be shown (-1, 0) handed nothing to the driver either.
int PromptExitCode(INT_PTR result)
{
    if (result == kExitTaskDone)
        return kExitTaskDone;
    if (result != kExitAnswersNotHanded)
        TRACE_TagError(kTag, L"prompt not shown (%ld)", static_cast<long>(result));
    return kExitAnswersNotHanded;
}

int Security(const ArgTable& args, SM_SessionJudge judge)
{
    MISC_DebugPrint(L"SECURITY_DIALOG");
    g_SecurityType = SlotNumber(args, 2);
    MISC_DebugPrint(L"security, g_SecurityType is %d", g_SecurityType);
    MISC_CopyText(U16(g_szTargetPrinter), kTextUnits, SM_ArgText(args, 3));
    MISC_DebugPrint(L"security, printer is %ls", g_szTargetPrinter);
    int languageId = SlotNumber(args, 4);
    g_Language = SM_GetLanguageIndex(languageId);
    MISC_DebugPrint(L"security, g_Language is %d", languageId);
    if (g_SecurityType != 1 && g_SecurityType != 2)
        return kExitTaskDone;
    if (NoUserCanAnswer(judge))
        return kExitAnswersNotHanded;
    return PromptExitCode(DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(IDD_SECURE), nullptr, Secure_DlgProc, 0));
}

int Accounting(const ArgTable& args, SM_SessionJudge judge)
{
    MISC_DebugPrint(L"accounting");
    MISC_CopyText(U16(g_szTargetPrinter), kTextUnits, SM_ArgText(args, 2));
    MISC_DebugPrint(L"accounting, printer is %ls", g_szTargetPrinter);
    int languageId = SlotNumber(args, 3);
    g_Language = SM_GetLanguageIndex(languageId);
    MISC_DebugPrint(L"security, g_Language is %d", languageId);
    if (NoUserCanAnswer(judge))
        return kExitAnswersNotHanded;
    return PromptExitCode(DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(IDD_ACCOUNTING), nullptr, Accounting_DlgProc, 0));
}

int Preheat(const ArgTable& args)
{
    MISC_DebugPrint(L"SM_PARAM_PREHEAT");
    MISC_DebugPrint(L"preheat start, %ls", Slot(args, 2));
    SM_WritePrinter(Slot(args, 2), kWakeUpStream, static_cast<DWORD>(kWakeUpStreamBytes));
    MISC_DebugPrint(L"preheat end");
    return kExitTaskDone;
}

int CreateTextBMP(const ArgTable& args)
{
    MISC_DebugPrint(L"SM_PARAM_BMP");
    // The BMP file is the job's only output; its result stops here, but for
    // a picture that another process kept open: the driver would print the
    // old one.
    if (SM_CreateTextBMPUsingIni_New(Slot(args, 2)) == WM_HELD_ERROR)
        return kExitTargetHeld;
    return kExitTaskDone;
}

// An elevated, foreign or invisible monitor would act on a file every user
// may write, be shown to nobody, or be out of reach of the user's
// "uninstall": it stays only where the user's own start would run it.
int StayResident(SM_SessionJudge judge)
{
    if (SM_MayStayResident(judge()))
        return kDispatchResident;
    TRACE_Tag(kTag, L"no resident monitor in this session or with these rights");
    return 0;
}

// The autostart value starts "logon" as the user at every logon, whatever
// rights this start has.
int Install(const WCHAR* moduleName, const WCHAR* exePath, SM_SessionJudge judge)
{
    MISC_DebugPrint(L"SM_PARAM_INSTALL");
    SM_WriteAutostart(moduleName, exePath);
    return StayResident(judge);
}

// The start the autostart value makes: the monitor, with the value left as
// it is (a standard user's logon could not write the machine's anyway).
int Logon(SM_SessionJudge judge)
{
    MISC_DebugPrint(L"SM_PARAM_LOGON");
    return StayResident(judge);
}

} // namespace

int SM_GetLanguageIndex(int languageId)
{
    MISC_DebugPrint(L"CountryVal = %d", languageId);
    int index = SM_LanguageIndexOf(languageId);
    MISC_DebugPrint(L"index = %d", index);
    return index;
}

int SM_DispatchCommand(const WCHAR* const* argv, int argc, const WCHAR* moduleName, const WCHAR* exePath,
                       SM_SessionJudge judge)
{
    // 26 KB: kept out of the stack frame.
    static ArgTable args;
    SM_FillArgTable(args, reinterpret_cast<const char16_t* const*>(argv), argc);
    for (int i = 0; i < argc && i < kArgSlots; ++i) {
        if (argv[i])
            MISC_DebugPrint(L"%ls", Slot(args, i));
    }

    switch (SM_CommandWordOf(SM_ArgText(args, 1))) {
    case CommandWord::CreateTextBMP:
        return CreateTextBMP(args);
    case CommandWord::Preheat:
        return Preheat(args);
    case CommandWord::Uninstall:
        return Uninstall(moduleName);
    case CommandWord::Install:
        return Install(moduleName, exePath, judge);
    case CommandWord::Logon:
        return Logon(judge);
    case CommandWord::SetATM:
        return SetNumber(args, L"SM_PARAM_ATM_SET", L"OnOff = %ls", L"AtmMode", moduleName);
    case CommandWord::Charset:
        return SetNumber(args, L"SM_PARAM_LANGUAGE", L"LanID = %ls", L"Language", moduleName);
    case CommandWord::Security:
        return Security(args, judge);
    case CommandWord::Accounting:
        return Accounting(args, judge);
    case CommandWord::None:
        break;
    }
    return kExitTaskDone;
}
