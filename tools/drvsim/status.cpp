// drvsim status / close / show / get / wait: the driver side's half of the
// status exchange file, through the driver-side library as a driver writes
// it; get and wait look at the file as an observer.
#include <cstdio>

#include "driverside/mfpsm_driver.h"
#include "monitor/status_file.h"
#include "tools/drvsim/drvsim.h"

namespace {

constexpr long long kDefaultWaitMs = 5000;
constexpr DWORD kPollMs = 20;

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

struct StatusArgs {
    std::wstring status;  // as posted, for the report
    bool raw = false;
    std::vector<LONG> codes;
    bool hasStore = false, hasPrinter = false, hasJob = false;
    std::wstring store, printer;
    DWORD job = 0;
};

// Codes become "c1|c2|"; --store appends "StoreName|NAME|"; --raw is taken as is.
int ParseStatusArgs(const std::vector<std::wstring>& args, StatusArgs* out)
{
    std::wstring codes;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        bool option = a == L"--store" || a == L"--raw" || a == L"--printer" || a == L"--job";
        if (option && i + 1 >= args.size())
            return DrvsimFail(L"%ls needs a value", a.c_str());
        if (a == L"--store") {
            out->hasStore = true;
            out->store = args[++i];
            if (out->store.find(L'|') != std::wstring::npos)
                return DrvsimFail(L"a store name cannot hold '|'");
        } else if (a == L"--raw") {
            out->raw = true;
            out->status = args[++i];
        } else if (a == L"--printer") {
            out->hasPrinter = true;
            out->printer = args[++i];
        } else if (a == L"--job") {
            long long id = 0;
            if (!DrvsimParseInt(args[++i], 0, 0xFFFFFFFFLL, &id))
                return DrvsimFail(L"--job takes a job id (0 to 4294967295), not '%ls'", args[i].c_str());
            out->hasJob = true;
            out->job = static_cast<DWORD>(id);
        } else {
            long long code = 0;
            if (!DrvsimParseInt(a, -2147483648LL, 2147483647LL, &code))
                return DrvsimFail(L"'%ls' is no error code (a 32-bit decimal number)", a.c_str());
            out->codes.push_back(static_cast<LONG>(code));
            codes += std::to_wstring(code) + L"|";
        }
    }
    if (out->raw && (!out->codes.empty() || out->hasStore))
        return DrvsimFail(L"--raw replaces the codes and --store; give one or the other");
    if (!out->raw)
        out->status = codes + (out->hasStore ? L"StoreName|" + out->store + L"|" : L"");
    return 0;
}

int Status(const std::vector<std::wstring>& args)
{
    StatusArgs a;
    if (int error = ParseStatusArgs(args, &a))
        return error;
    const WCHAR* printer = a.hasPrinter ? a.printer.c_str() : nullptr;
    const DWORD* job = a.hasJob ? &a.job : nullptr;
    DWORD stamp = 0;
    DWORD rc = a.raw ? MfpsmDrvPostStatusText(printer, job, a.status.c_str(), &stamp)
                     : MfpsmDrvPostStatus(printer, job, a.codes.data(), static_cast<DWORD>(a.codes.size()),
                                          a.hasStore ? a.store.c_str() : nullptr, &stamp);
    if (int code = DrvsimResult(rc, L"the status was not posted"))
        return code;
    wprintf(L"Status=%ls LastMsg=%lu Message=1027\n", a.status.c_str(), stamp);
    return 0;
}

int Close(const std::vector<std::wstring>& args)
{
    if (!args.empty())
        return DrvsimFail(L"close takes no arguments");
    return DrvsimResult(MfpsmDrvCloseDialog(), L"Message 1026 was not written");
}

int Show(const std::vector<std::wstring>& args)
{
    if (args.size() != 1 || (args[0] != L"0" && args[0] != L"1"))
        return DrvsimFail(L"show takes 0 (no status dialog) or 1 (show it)");
    return DrvsimResult(MfpsmDrvShowDialog(args[0] == L"1"), L"ShowSM was not written");
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
    // The driver's own wait for the monitor's answer to a close or a Delete.
    if (args[0] == kKeyMessage && args[1] == L"0") {
        DWORD rc = MfpsmDrvWaitForClose(static_cast<DWORD>(timeoutMs));
        if (rc == ERROR_TIMEOUT)
            fwprintf(stderr, L"drvsim: Message is not '0' after %lld ms\n", timeoutMs);
        return rc == ERROR_SUCCESS ? 0 : 1;
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
