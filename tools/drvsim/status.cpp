// drvsim status / close / show / get / wait: the driver side's half of the
// status exchange file, written in the order the monitor relies on.
#include <cstdio>

#include "monitor/monitor_window.h"
#include "monitor/status_file.h"
#include "tools/drvsim/drvsim.h"

namespace {

constexpr long long kDefaultWaitMs = 5000;
constexpr DWORD kPollMs = 20;

bool WriteKey(const std::wstring& file, const wchar_t* section, const wchar_t* key, const std::wstring& value)
{
    if (WritePrivateProfileStringW(section, key, value.c_str(), file.c_str()))
        return true;
    DrvsimFail(L"cannot write %ls in %ls", key, file.c_str());
    return false;
}

std::wstring ReadKey(const std::wstring& file, const wchar_t* section, const wchar_t* key)
{
    wchar_t value[1024] = L"";
    GetPrivateProfileStringW(section, key, L"", value, 1024, file.c_str());
    return value;
}

bool StatusFile(std::wstring* file)
{
    *file = DrvsimStatusFile();
    if (!file->empty())
        return true;
    DrvsimFail(L"the folder of the status exchange file cannot be found");
    return false;
}

// A "LastMsg" the monitor has not taken yet: one more than the present value,
// never 0.
std::wstring NextLastMsg(const std::wstring& file)
{
    int last = static_cast<int>(GetPrivateProfileIntW(kSectionPrinter, kKeyLastMsg, 0, file.c_str()));
    int next = last >= 1 && last < 0x7FFFFFFF ? last + 1 : 1;
    return std::to_wstring(next);
}

struct StatusArgs {
    std::wstring status;
    bool hasPrinter = false, hasJob = false;
    std::wstring printer, job;
};

// Codes become "c1|c2|"; --store appends "StoreName|NAME|"; --raw is taken as is.
int ParseStatusArgs(const std::vector<std::wstring>& args, StatusArgs* out)
{
    bool raw = false, hasCodes = false, hasStore = false;
    std::wstring codes, store;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        bool option = a == L"--store" || a == L"--raw" || a == L"--printer" || a == L"--job";
        if (option && i + 1 >= args.size())
            return DrvsimFail(L"%ls needs a value", a.c_str());
        if (a == L"--store") {
            hasStore = true;
            store = args[++i];
            if (store.find(L'|') != std::wstring::npos)
                return DrvsimFail(L"a store name cannot hold '|'");
        } else if (a == L"--raw") {
            raw = true;
            out->status = args[++i];
        } else if (a == L"--printer") {
            out->hasPrinter = true;
            out->printer = args[++i];
        } else if (a == L"--job") {
            long long id = 0;
            if (!DrvsimParseInt(args[++i], 0, 0xFFFFFFFFLL, &id))
                return DrvsimFail(L"--job takes a job id (0 to 4294967295), not '%ls'", args[i].c_str());
            out->hasJob = true;
            out->job = std::to_wstring(id);
        } else {
            long long code = 0;
            if (!DrvsimParseInt(a, -2147483648LL, 2147483647LL, &code))
                return DrvsimFail(L"'%ls' is no error code (a 32-bit decimal number)", a.c_str());
            hasCodes = true;
            codes += std::to_wstring(code) + L"|";
        }
    }
    if (raw && (hasCodes || hasStore))
        return DrvsimFail(L"--raw replaces the codes and --store; give one or the other");
    if (!raw)
        out->status = codes + (hasStore ? L"StoreName|" + store + L"|" : L"");
    return 0;
}

int Status(const std::vector<std::wstring>& args)
{
    StatusArgs parsed;
    if (int error = ParseStatusArgs(args, &parsed))
        return error;
    std::wstring file;
    if (!StatusFile(&file))
        return 1;
    if (parsed.hasPrinter && !WriteKey(file, kSectionPrinter, kKeyPrinterName, parsed.printer))
        return 1;
    if (parsed.hasJob && !WriteKey(file, kSectionJob, kKeyJobID, parsed.job))
        return 1;
    std::wstring lastMsg = NextLastMsg(file);
    if (!WriteKey(file, kSectionPrinter, kKeyStatus, parsed.status) ||
        !WriteKey(file, kSectionPrinter, kKeyLastMsg, lastMsg) ||
        !WriteKey(file, kSectionPrinter, kKeyMessage, std::to_wstring(WM_SM_PSTATUS)))
        return 1;
    wprintf(L"Status=%ls LastMsg=%ls Message=%u\n", parsed.status.c_str(), lastMsg.c_str(), WM_SM_PSTATUS);
    return 0;
}

int Close(const std::vector<std::wstring>& args)
{
    if (!args.empty())
        return DrvsimFail(L"close takes no arguments");
    std::wstring file;
    if (!StatusFile(&file))
        return 1;
    return WriteKey(file, kSectionPrinter, kKeyMessage, std::to_wstring(WM_SM_EXIT)) ? 0 : 1;
}

int Show(const std::vector<std::wstring>& args)
{
    if (args.size() != 1 || (args[0] != L"0" && args[0] != L"1"))
        return DrvsimFail(L"show takes 0 (no status dialog) or 1 (show it)");
    std::wstring file;
    if (!StatusFile(&file))
        return 1;
    return WriteKey(file, kSectionPrinter, kKeyShowSM, args[0]) ? 0 : 1;
}

void PrintSection(const std::wstring& file, const wchar_t* section)
{
    static wchar_t pairs[32768];
    DWORD n = GetPrivateProfileSectionW(section, pairs, 32768, file.c_str());
    wprintf(L"[%ls]\n", section);
    for (const wchar_t* p = pairs; p < pairs + n && *p; p += wcslen(p) + 1)
        wprintf(L"%ls\n", p);
}

int Get(const std::vector<std::wstring>& args)
{
    if (!args.empty())
        return DrvsimFail(L"get takes no arguments");
    std::wstring file;
    if (!StatusFile(&file))
        return 1;
    PrintSection(file, kSectionPrinter);
    PrintSection(file, kSectionJob);
    return 0;
}

int Wait(const std::vector<std::wstring>& args)
{
    long long timeoutMs = kDefaultWaitMs;
    if (args.size() == 4 && args[2] == L"--timeout-ms") {
        if (!DrvsimParseInt(args[3], 0, 3600000, &timeoutMs))
            return DrvsimFail(L"--timeout-ms takes 0 to 3600000, not '%ls'", args[3].c_str());
    } else if (args.size() != 2) {
        return DrvsimFail(L"wait takes KEY VALUE [--timeout-ms N]");
    }
    std::wstring file;
    if (!StatusFile(&file))
        return 1;
    const wchar_t* section = args[0] == kKeyJobID ? kSectionJob : kSectionPrinter;
    DWORD start = GetTickCount();
    for (;;) {
        std::wstring value = ReadKey(file, section, args[0].c_str());
        if (value == args[1])
            return 0;
        if (GetTickCount() - start >= static_cast<DWORD>(timeoutMs)) {
            fwprintf(stderr, L"drvsim: %ls is '%ls', not '%ls', after %lld ms\n", args[0].c_str(), value.c_str(),
                     args[1].c_str(), timeoutMs);
            return 1;
        }
        Sleep(kPollMs);
    }
}

} // namespace

DRVSIM_COMMAND(status, L"status", L"CODE... [--store NAME] [--raw TEXT] [--printer NAME] [--job ID]", Status);
DRVSIM_COMMAND(close, L"close", L"(asks the monitor to close its dialog: Message 1026)", Close);
DRVSIM_COMMAND(show, L"show", L"0|1 (ShowSM: whether the monitor shows its dialog)", Show);
DRVSIM_COMMAND(get, L"get", L"(prints both sections of the status exchange file)", Get);
DRVSIM_COMMAND(wait, L"wait", L"KEY VALUE [--timeout-ms N] (exit 0 once KEY reads VALUE, 1 on time-out)", Wait);
