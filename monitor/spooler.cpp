#include "monitor/spooler.h"

#include <winspool.h>

#include <cstdint>

#include "common/globals.h"
#include "common/handle_guards.h"
#include "common/job_list.h"
#include "common/os_version.h"
#include "common/printers.h"
#include "common/trace.h"
#include "monitor/spooler_codes.h"
#include "monitor/status_file.h"

namespace {

constexpr int kAnsiNameBytes = 260;
constexpr DWORD kOwedRetryMs = 1000;

// On the 9x family the spooler knows printers by their ANSI names. Best-fit
// guesses are off: a character the code page lacks becomes its default
// character, so such a name opens no printer rather than a look-alike one.
// A name the spooler does not list is not opened at all (see
// common/printers.h), just as if the open had failed. *error is the reason
// of a failed open or listing.
bool OpenPrinterByName(const WCHAR* name, DWORD access, ScopedPrinter& printer, DWORD* error)
{
    // The handle is taken only from an open that succeeded.
    HANDLE handle = nullptr;
    BOOL opened = FALSE;
    if (SM_IsNTFamily(OsVersionCode)) {
        if (!MISC_IsListedPrinterW(name)) {
            *error = GetLastError();
            return false;
        }
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, access};
        opened = OpenPrinterW(const_cast<WCHAR*>(name), &handle, &defaults);
    } else {
        *error = ERROR_INVALID_PRINTER_NAME;
        char ansiName[kAnsiNameBytes] = "";
        if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, -1, ansiName, kAnsiNameBytes, nullptr, nullptr) == 0)
            return false;
        if (!MISC_IsListedPrinterA(ansiName)) {
            *error = GetLastError();
            return false;
        }
        PRINTER_DEFAULTSA defaults = {nullptr, nullptr, access};
        opened = OpenPrinterA(ansiName, &handle, &defaults);
    }
    if (!opened) {
        *error = GetLastError();
        return false;
    }
    printer.Adopt(handle);
    return true;
}

// A standard user may not set the status word, and would be refused for
// every status the monitor takes: the refusal is traced once per printer.
void TraceStatusRefused(const WCHAR* name)
{
    for (WCHAR(&slot)[kTextUnits] : g_szStatusRefused) {
        if (lstrcmpiW(slot, name) == 0)
            return;
        if (slot[0] == L'\0') {
            lstrcpynW(slot, name, kTextUnits);
            break;
        }
    }
    TRACE_TagError(L"SM_SetSpoolerStatus", L"printer %ls refuses its status word to this user", name);
}

// The status word is a manager's business: PRINTER_ACCESS_ADMINISTER, or
// the limited management an installer may grant its users.
bool OpenToManage(const WCHAR* name, ScopedPrinter& printer, DWORD* error)
{
    for (DWORD access : kManageRights) {
        if (OpenPrinterByName(name, access, printer, error))
            return true;
        if (*error != ERROR_ACCESS_DENIED)
            return false;
    }
    return false;
}

// Sets the word on the printer; 0, or the reason it was not set.
DWORD SetWord(const WCHAR* name, DWORD status, DWORD command)
{
    ScopedPrinter printer;
    DWORD error = 0;
    if (!OpenToManage(name, printer, &error)) {
        if (error != ERROR_ACCESS_DENIED)
            TRACE_TagError(L"SM_SetSpoolerStatus", L"OpenPrinter %ls fail! rc = %lu", name, error);
        return error;
    }
    // Level 0 takes the status word itself in place of a structure pointer.
    if (SetPrinterW(printer.Get(), 0, reinterpret_cast<BYTE*>(static_cast<uintptr_t>(status)), command))
        return 0;
    error = GetLastError();
    if (error != ERROR_ACCESS_DENIED)
        TRACE_TagError(L"SM_SetSpoolerStatus", L"SetPrinter 0x%lx fail! rc = %lu", status, error);
    return error;
}

// A spooler that is away comes back: the word is owed until then.
void OweWord(DWORD status)
{
    g_SpoolerOwed = SpoolerOwed::Word;
    g_SpoolerOwedWord = status;
    g_SpoolerOwedTick = GetTickCount();
}

// Sends command to every queued job whose id is jobId; 1 if any was taken.
// A job the spooler is already removing counts as deleted and is not
// commanded again; it cannot be restarted.
int CommandJob(HANDLE printer, DWORD jobId, DWORD command)
{
    JobList queue = MISC_ListJobs(printer, 1);
    if (!queue.listed) {
        TRACE_TagError(L"SM_SetPrinterJob", L"EnumJobs fail! rc = %lu", queue.error);
        return 0;
    }
    const JOB_INFO_1W* jobs = reinterpret_cast<const JOB_INFO_1W*>(queue.buffer.data());
    int result = 0;
    for (DWORD i = 0; i < queue.count; ++i) {
        if (jobs[i].JobId != jobId)
            continue;
        if (MISC_JobIsLeaving(jobs[i].Status)) {
            TRACE_Tag(L"SM_SetPrinterJob", L"job %lu is being deleted", jobId);
            if (command != kJobRestart)
                result = 1;
            continue;
        }
        // Another user's job is refused to a standard user; the user is not
        // told, as with every spooler refusal, but the trace says why.
        if (SetJobW(printer, jobId, 0, nullptr, command))
            result = 1;
        else
            TRACE_TagError(L"SM_SetPrinterJob", L"SetJob %lu command %lu fail! rc = %lu", jobId, command, GetLastError());
    }
    return result;
}

} // namespace

int SM_SetSpoolerStatus(DWORD status, DWORD command)
{
    ScopedTrace trace(kTraceProgress, L"SM_SetSpoolerStatus");
    if (g_SpoolerBusy)
        return 1;
    // A newer word decides, whatever an older one still owes.
    g_SpoolerOwed = SpoolerOwed::None;
    if (static_cast<int>(status) == g_LastSpoolerStatus)
        return 1;
    g_SpoolerBusy = 1;
    WCHAR name[kPrinterNameUnits] = L"";
    SM_ReadPrinterName(name);
    // The flag is cleared on every failure too: the driver may not have
    // named the printer yet, and a later status must still reach the spooler.
    const DWORD error = SetWord(name, status, command);
    if (error == 0)
        g_LastSpoolerStatus = static_cast<int>(status);
    else if (error == ERROR_ACCESS_DENIED)
        TraceStatusRefused(name);
    else if (SM_IsSpoolerAway(error))
        OweWord(status);
    g_SpoolerBusy = 0;
    return 1;
}

int SM_SetSpoolerStatusByCode(int code)
{
    uint32_t word = 0;
    if (SM_StatusWordOfCode(code, &word))
        SM_SetSpoolerStatus(word, kSetStatusCommand);
    return 1;
}

int SM_ClearSpoolerStatus()
{
    SM_SetSpoolerStatus(0, kSetStatusCommand);
    if (g_SpoolerOwed == SpoolerOwed::Word)
        g_SpoolerOwed = SpoolerOwed::Clear;
    g_LastSpoolerStatus = -1;
    return 1;
}

void SM_RetryOwedSpoolerStatus()
{
    if (g_SpoolerOwed == SpoolerOwed::None || GetTickCount() - g_SpoolerOwedTick < kOwedRetryMs)
        return;
    if (g_SpoolerOwed == SpoolerOwed::Clear)
        SM_ClearSpoolerStatus();
    else
        SM_SetSpoolerStatus(g_SpoolerOwedWord, kSetStatusCommand);
}

void SM_ForgetOwedSpoolerStatus()
{
    g_SpoolerOwed = SpoolerOwed::None;
}

int SM_SetPrinterJob(DWORD command, DWORD jobId)
{
    ScopedTrace trace(kTraceProgress, L"SM_SetPrinterJob");
    WCHAR name[kPrinterNameUnits] = L"";
    SM_ReadPrinterName(name);
    if (command == kJobCancel) {
        // The NT spooler removes a deleted job at once; a cancelled one lingers.
        if (SM_IsNTFamily(OsVersionCode))
            command = kJobDelete;
        SM_ClearSpoolerStatus();
    }
    ScopedPrinter printer;
    DWORD error = 0;
    // Controlling one's own job needs only the right to print; the job's
    // owner or the printer's managers may control it, checked by the spooler.
    if (!OpenPrinterByName(name, PRINTER_ACCESS_USE, printer, &error)) {
        TRACE_TagError(L"SM_SetPrinterJob", L"OpenPrinter %ls fail! rc = %lu", name, error);
        return 0;
    }
    return CommandJob(printer.Get(), jobId, command);
}
