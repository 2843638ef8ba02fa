// The spooler stand-in: a winspool.drv with the entry points mfpsm uses,
// keeping printers, queues, status words and written documents in the folder
// named by MFPSM_SPOOL_DIR and recording every call there. Wine's own spooler
// has no printers and no queue shared between processes, so the tests and the
// demo load this one instead (WINEDLLOVERRIDES=winspool.drv=n).
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/printers.h"
#include "spool_state.h"

namespace {

constexpr DWORD kHandleMagic = 0x4C4F5053;  // "SPOL"

struct StubHandle {
    DWORD magic = kHandleMagic;
    std::wstring printer;
    DWORD granted = 0;  // the access the open asked for and got
    DWORD job = 0;      // the document started on this handle, 0 when none
};

StubHandle* FromHandle(HANDLE handle)
{
    auto* h = static_cast<StubHandle*>(handle);
    if (!h || IsBadReadPtr(h, sizeof(DWORD)) || h->magic != kHandleMagic)
        return nullptr;
    return h;
}

std::string Narrow(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1)
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    return out;
}

// Strings of the wide or the ANSI information records.
template <typename Char>
std::basic_string<Char> InfoText(const std::wstring& text);
template <>
std::wstring InfoText<wchar_t>(const std::wstring& text) { return text; }
template <>
std::string InfoText<char>(const std::wstring& text) { return Narrow(text); }

std::wstring Widen(const char* text)
{
    if (!text)
        return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n - 1 : 0), L'\0');
    if (n > 1)
        MultiByteToWideChar(CP_ACP, 0, text, -1, &out[0], n);
    return out;
}

void Record(const std::wstring& dir, SpoolCall call)
{
    if (!dir.empty())
        SpoolAppendCall(dir, call);
}

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

// A stopped spooler (SpoolSandbox::StopSpoolerFor): every call fails the
// way the RPC client fails while the service is down, and is recorded.
bool Away(const wchar_t* function)
{
    std::wstring dir = SpoolDir();
    if (dir.empty())
        return false;
    SpoolLock lock;
    if (SpoolLoadState(dir).awayUntil <= SpoolNow())
        return false;
    SpoolCall call;
    call.function = function;
    call.error = RPC_S_SERVER_UNAVAILABLE;
    Record(dir, call);
    SetLastError(RPC_S_SERVER_UNAVAILABLE);
    return true;
}

// What the caller holds on a printer of these rights, as the default
// printer security grants it: administrators full control, every user
// Print (use and read control), and limited management where granted.
DWORD HeldAccess(SpoolRights rights)
{
    constexpr DWORD kPrint = PRINTER_EXECUTE | SYNCHRONIZE;
    switch (rights) {
    case SpoolRights::kAdmin:
        return PRINTER_ALL_ACCESS | PRINTER_ACCESS_MANAGE_LIMITED | SYNCHRONIZE;
    case SpoolRights::kUserLimited:
        return kPrint | PRINTER_ACCESS_MANAGE_LIMITED;
    case SpoolRights::kUser:
        break;
    }
    return kPrint;
}

// The specific rights an open asks for: generic rights mapped as the
// spooler maps them for printers, and no defaults meaning the right to print.
DWORD AskedAccess(DWORD asked, DWORD held)
{
    if (asked == 0)
        return PRINTER_ACCESS_USE;
    if (asked & MAXIMUM_ALLOWED)
        return held;
    DWORD specific = asked & ~(GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE | GENERIC_ALL);
    if (asked & GENERIC_READ)
        specific |= PRINTER_READ;
    if (asked & GENERIC_WRITE)
        specific |= PRINTER_WRITE;
    if (asked & GENERIC_EXECUTE)
        specific |= PRINTER_EXECUTE;
    if (asked & GENERIC_ALL)
        specific |= PRINTER_ALL_ACCESS;
    return specific;
}

BOOL OpenPrinterByName(const std::wstring& name, bool nameGiven, DWORD asked, LPHANDLE handle)
{
    if (!handle)
        return Fail(ERROR_INVALID_PARAMETER);
    *handle = nullptr;
    std::wstring dir = SpoolDir();
    SpoolLock lock;
    SpoolState state = dir.empty() ? SpoolState() : SpoolLoadState(dir);
    SpoolPrinterSeed* printer = nameGiven ? SpoolFindPrinter(state, name) : nullptr;
    DWORD granted = 0;
    DWORD error = ERROR_INVALID_PRINTER_NAME;
    if (printer) {
        DWORD held = HeldAccess(printer->rights);
        granted = AskedAccess(asked, held);
        bool allowed = !printer->refuseOpen && (granted & ~held) == 0;
        error = allowed ? 0 : ERROR_ACCESS_DENIED;
    }
    SpoolCall call;
    call.function = L"OpenPrinter";
    call.printer = name;
    call.ok = error == 0;
    call.access = asked;
    call.error = error;
    Record(dir, call);
    if (error)
        return Fail(error);
    auto* h = new StubHandle;
    h->printer = name;
    h->granted = granted;
    *handle = h;
    return TRUE;
}

// Lays out fixed-size records at the front of a buffer and their strings
// from the back, the way the spooler fills its information buffers.
class InfoBuffer {
public:
    InfoBuffer(LPBYTE buffer, DWORD size, size_t fixed) : buffer_(buffer), size_(size), stringsEnd_(size), fixed_(fixed) {}

    template <typename Char>
    static DWORD StringBytes(const std::basic_string<Char>& s)
    {
        return static_cast<DWORD>((s.size() + 1) * sizeof(Char));
    }

    template <typename Char>
    Char* Put(const std::basic_string<Char>& s)
    {
        stringsEnd_ -= StringBytes(s);
        auto* out = reinterpret_cast<Char*>(buffer_ + stringsEnd_);
        memcpy(out, s.c_str(), StringBytes(s));
        return out;
    }
    bool Fits(DWORD needed) const { return buffer_ && size_ >= needed && fixed_ <= size_; }

private:
    LPBYTE buffer_;
    DWORD size_;
    DWORD stringsEnd_;
    size_t fixed_;
};

constexpr DWORD kLingerListings = 2;  // EnumJobs answers that still list a deleted printing job
constexpr DWORD kLastJobCommand = 9;  // JOB_CONTROL_RELEASE, which MinGW's headers lack

std::vector<SpoolJobSeed> JobsFrom(const SpoolPrinterSeed& printer, DWORD first, DWORD count)
{
    std::vector<SpoolJobSeed> jobs;
    for (DWORD i = first; i < printer.jobs.size() && jobs.size() < count; ++i)
        jobs.push_back(printer.jobs[i]);
    return jobs;
}

template <typename Char, typename Info>
void FillJob(Info& info, const SpoolJobSeed& job, DWORD position, const std::wstring& printerName, InfoBuffer& out)
{
    memset(&info, 0, sizeof(info));
    info.JobId = job.id;
    info.pPrinterName = out.Put(InfoText<Char>(printerName));
    if (!job.document.empty())
        info.pDocument = out.Put(InfoText<Char>(job.document));
    info.pDatatype = out.Put(InfoText<Char>(job.dataType));
    info.Status = job.status | (job.printing ? JOB_STATUS_PRINTING : 0);
    info.Position = position;
}

template <typename Char>
DWORD JobStringBytes(const SpoolJobSeed& job, const std::wstring& printerName)
{
    return InfoBuffer::StringBytes(InfoText<Char>(printerName)) + InfoBuffer::StringBytes(InfoText<Char>(job.dataType)) +
           (job.document.empty() ? 0 : InfoBuffer::StringBytes(InfoText<Char>(job.document)));
}

// A deleted job that was printing leaves the queue once it has been listed
// kLingerListings times; until then each listing counts down.
bool RetireDeletedJobs(SpoolPrinterSeed& printer)
{
    size_t before = printer.jobs.size();
    auto gone = [](const SpoolJobSeed& j) { return (j.status & JOB_STATUS_DELETING) && j.lingers == 0; };
    printer.jobs.erase(std::remove_if(printer.jobs.begin(), printer.jobs.end(), gone), printer.jobs.end());
    return printer.jobs.size() != before;
}

bool CountListings(SpoolPrinterSeed& printer, const std::vector<SpoolJobSeed>& listed)
{
    bool counted = false;
    for (SpoolJobSeed& j : printer.jobs) {
        auto same = [&j](const SpoolJobSeed& l) { return l.id == j.id; };
        if (!(j.status & JOB_STATUS_DELETING) || j.lingers == 0 || std::none_of(listed.begin(), listed.end(), same))
            continue;
        --j.lingers;
        counted = true;
    }
    return counted;
}

// The queue grows by one arriving job: another application prints between
// a caller's size query and its fetch.
bool ArriveOne(SpoolPrinterSeed& printer)
{
    if (printer.arriving.empty())
        return false;
    printer.jobs.push_back(printer.arriving.front());
    printer.arriving.erase(printer.arriving.begin());
    return true;
}

template <typename Char, typename Info>
BOOL EnumJobsAt(StubHandle* h, DWORD first, DWORD count, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned)
{
    std::wstring dir = SpoolDir();
    SpoolLock lock;
    SpoolState state = SpoolLoadState(dir);
    SpoolPrinterSeed* printer = SpoolFindPrinter(state, h->printer);
    bool changed = printer && RetireDeletedJobs(*printer);
    std::vector<SpoolJobSeed> jobs = printer ? JobsFrom(*printer, first, count) : std::vector<SpoolJobSeed>();
    DWORD bytes = static_cast<DWORD>(jobs.size() * sizeof(Info));
    for (const SpoolJobSeed& j : jobs)
        bytes += JobStringBytes<Char>(j, h->printer);
    *needed = bytes;
    *returned = 0;
    InfoBuffer out(buffer, size, jobs.size() * sizeof(Info));
    bool fits = bytes == 0 || out.Fits(bytes);
    if (printer && fits)
        changed = CountListings(*printer, jobs) || changed;
    else if (printer)
        changed = ArriveOne(*printer) || changed;
    if (changed)
        SpoolSaveState(dir, state);
    if (!fits)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    Info* infos = reinterpret_cast<Info*>(buffer);
    for (size_t i = 0; i < jobs.size(); ++i)
        FillJob<Char>(infos[i], jobs[i], static_cast<DWORD>(first + i + 1), h->printer, out);
    *returned = static_cast<DWORD>(jobs.size());
    return TRUE;
}

// EnumJobs in its wide and ANSI forms, levels 1 and 2.
template <typename Char, typename Info1, typename Info2>
BOOL EnumJobsOf(HANDLE handle, DWORD first, DWORD count, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                LPDWORD returned)
{
    StubHandle* h = FromHandle(handle);
    if (!h || !needed || !returned)
        return Fail(ERROR_INVALID_HANDLE);
    if (level == 1)
        return EnumJobsAt<Char, Info1>(h, first, count, buffer, size, needed, returned);
    if (level == 2)
        return EnumJobsAt<Char, Info2>(h, first, count, buffer, size, needed, returned);
    return Fail(ERROR_INVALID_LEVEL);
}

// A connection's name is \\server\share.
bool IsConnection(const SpoolPrinterSeed& printer)
{
    return printer.name.compare(0, 2, L"\\\\") == 0;
}

std::wstring ServerOf(const SpoolPrinterSeed& printer)
{
    return printer.name.substr(0, printer.name.find(L'\\', 2));
}

DWORD KindAttribute(const SpoolPrinterSeed& printer)
{
    return IsConnection(printer) ? PRINTER_ATTRIBUTE_NETWORK : PRINTER_ATTRIBUTE_LOCAL;
}

// Bytes of the strings that a printer's record takes, and the record.
DWORD PrinterStringBytes(const PRINTER_INFO_4W*, const SpoolPrinterSeed& printer)
{
    return InfoBuffer::StringBytes(printer.name) + (IsConnection(printer) ? InfoBuffer::StringBytes(ServerOf(printer)) : 0);
}

DWORD PrinterStringBytes(const PRINTER_INFO_5A*, const SpoolPrinterSeed& printer)
{
    return InfoBuffer::StringBytes(Narrow(printer.name)) + InfoBuffer::StringBytes(Narrow(printer.port));
}

void FillPrinter(PRINTER_INFO_4W& info, const SpoolPrinterSeed& printer, InfoBuffer& out)
{
    info.pPrinterName = out.Put(printer.name);
    info.pServerName = IsConnection(printer) ? out.Put(ServerOf(printer)) : nullptr;
    info.Attributes = KindAttribute(printer);
}

void FillPrinter(PRINTER_INFO_5A& info, const SpoolPrinterSeed& printer, InfoBuffer& out)
{
    info.pPrinterName = out.Put(Narrow(printer.name));
    info.pPortName = out.Put(Narrow(printer.port));
    info.Attributes = KindAttribute(printer);
}

// The local printers (PRINTER_ENUM_LOCAL) and this user's connections
// (PRINTER_ENUM_CONNECTIONS), as the flags ask.
template <typename Info>
BOOL EnumPrintersAt(DWORD flags, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned)
{
    std::wstring dir = SpoolDir();
    SpoolLock lock;
    SpoolState state = dir.empty() ? SpoolState() : SpoolLoadState(dir);
    std::vector<SpoolPrinterSeed> listed;
    for (const SpoolPrinterSeed& p : state.printers) {
        if (flags & (IsConnection(p) ? PRINTER_ENUM_CONNECTIONS : PRINTER_ENUM_LOCAL))
            listed.push_back(p);
    }
    DWORD bytes = static_cast<DWORD>(listed.size() * sizeof(Info));
    for (const SpoolPrinterSeed& p : listed)
        bytes += PrinterStringBytes(static_cast<const Info*>(nullptr), p);
    *needed = bytes;
    *returned = 0;
    InfoBuffer out(buffer, size, listed.size() * sizeof(Info));
    if (bytes > 0 && !out.Fits(bytes))
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    Info* infos = reinterpret_cast<Info*>(buffer);
    for (size_t i = 0; i < listed.size(); ++i) {
        memset(&infos[i], 0, sizeof(Info));
        FillPrinter(infos[i], listed[i], out);
    }
    *returned = static_cast<DWORD>(listed.size());
    return TRUE;
}

// EnumPrinters of this machine (no server name): the wide form at level 4,
// the ANSI form at level 5, the levels the two families list names with.
template <typename Info>
BOOL EnumPrintersOf(DWORD flags, const void* serverName, DWORD level, DWORD wantedLevel, LPBYTE buffer, DWORD size,
                    LPDWORD needed, LPDWORD returned)
{
    if (!needed || !returned)
        return Fail(ERROR_INVALID_PARAMETER);
    if (level != wantedLevel)
        return Fail(ERROR_INVALID_LEVEL);
    if (serverName) {
        *needed = 0;
        *returned = 0;
        return TRUE;
    }
    return EnumPrintersAt<Info>(flags, buffer, size, needed, returned);
}

// The data types of the print processor of every printer (winprint).
bool KnownDataType(const std::wstring& dataType)
{
    for (const wchar_t* known : {L"RAW", L"RAW [FF appended]", L"RAW [FF auto]", L"NT EMF 1.003", L"NT EMF 1.006",
                                 L"NT EMF 1.007", L"NT EMF 1.008", L"TEXT", L"XPS2GDI"}) {
        if (lstrcmpiW(dataType.c_str(), known) == 0)
            return true;
    }
    return false;
}

// A job takes the data type given or, with none, the printer's default (RAW).
DWORD StartDoc(HANDLE handle, const std::wstring& document, const std::wstring& dataType)
{
    StubHandle* h = FromHandle(handle);
    if (!h)
        return Fail(ERROR_INVALID_HANDLE);
    if (!(h->granted & PRINTER_ACCESS_USE))
        return Fail(ERROR_ACCESS_DENIED);
    if (!dataType.empty() && !KnownDataType(dataType))
        return Fail(ERROR_INVALID_DATATYPE);
    std::wstring dir = SpoolDir();
    SpoolLock lock;
    SpoolState state = SpoolLoadState(dir);
    SpoolPrinterSeed* printer = SpoolFindPrinter(state, h->printer);
    if (!printer || h->job)
        return Fail(ERROR_INVALID_PRINTER_STATE);
    // Job ids are unique across every queue, seeded ones included.
    DWORD job = state.nextJob;
    for (const SpoolPrinterSeed& p : state.printers) {
        for (const SpoolJobSeed& j : p.jobs)
            job = j.id >= job ? j.id + 1 : job;
    }
    state.nextJob = job + 1;
    SpoolJobSeed started;
    started.id = job;
    started.document = document;
    if (!dataType.empty())
        started.dataType = dataType;
    printer->jobs.push_back(started);
    SpoolSaveState(dir, state);
    h->job = job;
    DeleteFileW(SpoolJobFile(dir, job).c_str());
    SpoolCall call;
    call.function = L"StartDocPrinter";
    call.printer = h->printer;
    call.ok = true;
    call.job = job;
    call.name = document;
    call.dataType = dataType;
    Record(dir, call);
    return job;
}

BOOL SimpleCall(HANDLE handle, const wchar_t* function, bool needsDocument)
{
    StubHandle* h = FromHandle(handle);
    if (!h)
        return Fail(ERROR_INVALID_HANDLE);
    bool ok = !needsDocument || h->job != 0;
    SpoolCall call;
    call.function = function;
    call.printer = h->printer;
    call.ok = ok;
    call.job = h->job;
    {
        SpoolLock lock;
        Record(SpoolDir(), call);
    }
    return ok ? TRUE : Fail(ERROR_SPL_NO_STARTDOC);
}

// Printer data and the status word need PRINTER_ACCESS_ADMINISTER or, from
// Windows 8.1 on, PRINTER_ACCESS_MANAGE_LIMITED on the handle.
bool MayChangeData(const StubHandle& h)
{
    return (h.granted & (PRINTER_ACCESS_ADMINISTER | PRINTER_ACCESS_MANAGE_LIMITED)) != 0;
}

// Sets (data given) or deletes a printer data value; returns the error.
DWORD ChangeData(HANDLE handle, const wchar_t* function, const std::wstring& name, DWORD type, LPBYTE data, DWORD size)
{
    StubHandle* h = FromHandle(handle);
    if (!h)
        return ERROR_INVALID_HANDLE;
    bool setting = data != nullptr;
    std::wstring dir = SpoolDir();
    SpoolLock lock;
    SpoolState state = SpoolLoadState(dir);
    SpoolPrinterSeed* printer = SpoolFindPrinter(state, h->printer);
    DWORD error = MayChangeData(*h) ? 0 : ERROR_ACCESS_DENIED;
    if (!error && !printer)
        error = ERROR_INVALID_PRINTER_NAME;
    if (!error && name == (setting ? printer->failValue : printer->failDelete))
        error = ERROR_NOT_ENOUGH_MEMORY;
    if (!error) {
        auto& values = printer->data;
        auto it = values.begin();
        while (it != values.end() && it->name != name)
            ++it;
        if (setting && it == values.end())
            values.push_back({name, type, std::vector<unsigned char>(data, data + size)});
        else if (setting)
            *it = {name, type, std::vector<unsigned char>(data, data + size)};
        else if (it != values.end())
            values.erase(it);
        else
            error = ERROR_FILE_NOT_FOUND;
    }
    if (!error)
        SpoolSaveState(dir, state);
    SpoolCall call;
    call.function = function;
    call.printer = h->printer;
    call.ok = error == 0;
    call.error = error;
    call.type = type;
    call.name = name;
    if (setting)
        call.data.assign(data, data + size);
    Record(dir, call);
    return error;
}

// Reads a printer data value: ERROR_MORE_DATA with the size needed when the
// buffer is short, ERROR_FILE_NOT_FOUND when there is no such value.
DWORD ReadData(HANDLE handle, const std::wstring& name, LPDWORD type, LPBYTE data, DWORD size, LPDWORD needed)
{
    StubHandle* h = FromHandle(handle);
    if (!h)
        return ERROR_INVALID_HANDLE;
    if (!needed)
        return ERROR_INVALID_PARAMETER;
    SpoolLock lock;
    SpoolState state = SpoolLoadState(SpoolDir());
    SpoolPrinterSeed* printer = SpoolFindPrinter(state, h->printer);
    if (!printer)
        return ERROR_INVALID_PRINTER_NAME;
    for (const SpoolDataValue& value : printer->data) {
        if (value.name != name)
            continue;
        if (type)
            *type = value.type;
        *needed = static_cast<DWORD>(value.data.size());
        if (size < *needed || (!data && *needed > 0))
            return ERROR_MORE_DATA;
        if (!value.data.empty())
            memcpy(data, value.data.data(), value.data.size());
        return ERROR_SUCCESS;
    }
    return ERROR_FILE_NOT_FOUND;
}

BOOL SetStatus(HANDLE handle, DWORD level, LPBYTE info, DWORD command)
{
    StubHandle* h = FromHandle(handle);
    if (!h)
        return Fail(ERROR_INVALID_HANDLE);
    // The status word is the printer's managers' business; from Windows 8.1
    // on, limited management carries it too.
    DWORD error = !MayChangeData(*h) ? ERROR_ACCESS_DENIED
                  : level == 0 && command == PRINTER_CONTROL_SET_STATUS ? 0
                  : ERROR_INVALID_PARAMETER;
    bool ok = error == 0;
    DWORD status = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(info));
    std::wstring dir = SpoolDir();
    SpoolLock lock;
    if (ok) {
        SpoolState state = SpoolLoadState(dir);
        if (SpoolPrinterSeed* p = SpoolFindPrinter(state, h->printer)) {
            p->status = status;
            SpoolSaveState(dir, state);
        }
    }
    SpoolCall call;
    call.function = L"SetPrinter";
    call.printer = h->printer;
    call.ok = ok;
    call.status = status;
    call.command = command;
    call.error = error;
    Record(dir, call);
    return ok ? TRUE : Fail(error);
}

// What SetJob checks before it acts, in the order of the print system's
// protocol: the job is in this printer's queue, the level is 0 with no
// structure or 1 to 4 with one (a JOB_INFO_3 names the job it links), and
// the command is one of the job commands, or none when a structure is given.
DWORD CheckJobCall(const SpoolPrinterSeed* printer, DWORD jobId, DWORD level, LPBYTE info, DWORD command)
{
    auto same = [jobId](const SpoolJobSeed& j) { return j.id == jobId; };
    if (!printer || std::none_of(printer->jobs.begin(), printer->jobs.end(), same))
        return ERROR_INVALID_PARAMETER;
    if (level > 4)
        return ERROR_INVALID_LEVEL;
    if (level != 0 && !info)
        return ERROR_INVALID_PARAMETER;
    if (level == 3 && reinterpret_cast<const JOB_INFO_3*>(info)->JobId != jobId)
        return ERROR_INVALID_PARAMETER;
    if (command > kLastJobCommand || (command == 0 && level == 0))
        return ERROR_INVALID_PARAMETER;
    return 0;
}

// A deleted or cancelled job leaves the queue at once, unless it is being
// printed: then it lingers, JOB_STATUS_DELETING, until the printer lets go.
void DeleteJob(SpoolPrinterSeed& printer, size_t index)
{
    SpoolJobSeed& job = printer.jobs[index];
    if (!job.printing) {
        printer.jobs.erase(printer.jobs.begin() + static_cast<long>(index));
        return;
    }
    if (!(job.status & JOB_STATUS_DELETING)) {
        job.status |= JOB_STATUS_DELETING;
        job.lingers = kLingerListings;
    }
}

// A job is controlled by its owner, through any handle of theirs, or by a
// printer administrator; another user's job is refused to everybody else.
BOOL ControlJob(HANDLE handle, DWORD jobId, DWORD level, LPBYTE info, DWORD command)
{
    StubHandle* h = FromHandle(handle);
    if (!h)
        return Fail(ERROR_INVALID_HANDLE);
    std::wstring dir = SpoolDir();
    SpoolLock lock;
    SpoolState state = SpoolLoadState(dir);
    SpoolPrinterSeed* printer = SpoolFindPrinter(state, h->printer);
    DWORD error = CheckJobCall(printer, jobId, level, info, command);
    for (size_t i = 0; !error && i < printer->jobs.size(); ++i) {
        if (printer->jobs[i].id != jobId)
            continue;
        bool administers = printer->rights == SpoolRights::kAdmin;
        if (printer->jobs[i].otherOwner && !administers)
            error = ERROR_ACCESS_DENIED;
        else if (command == JOB_CONTROL_CANCEL || command == JOB_CONTROL_DELETE)
            DeleteJob(*printer, i);
        break;
    }
    bool ok = error == 0;
    if (ok)
        SpoolSaveState(dir, state);
    SpoolCall call;
    call.function = L"SetJob";
    call.printer = h->printer;
    call.ok = ok;
    call.status = jobId;
    call.command = command;
    call.job = jobId;
    call.error = error;
    Record(dir, call);
    return ok ? TRUE : Fail(error);
}

} // namespace

extern "C" {

WINBOOL WINAPI OpenPrinterW(LPWSTR name, LPHANDLE handle, LPPRINTER_DEFAULTSW defaults)
{
    if (Away(L"OpenPrinter"))
        return FALSE;
    return OpenPrinterByName(name ? name : L"", name != nullptr, defaults ? defaults->DesiredAccess : 0, handle);
}

WINBOOL WINAPI OpenPrinterA(LPSTR name, LPHANDLE handle, LPPRINTER_DEFAULTSA defaults)
{
    if (Away(L"OpenPrinter"))
        return FALSE;
    return OpenPrinterByName(Widen(name), name != nullptr, defaults ? defaults->DesiredAccess : 0, handle);
}

WINBOOL WINAPI EnumPrintersW(DWORD flags, LPWSTR serverName, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                             LPDWORD returned)
{
    if (Away(L"EnumPrinters"))
        return FALSE;
    return EnumPrintersOf<PRINTER_INFO_4W>(flags, serverName, level, 4, buffer, size, needed, returned);
}

WINBOOL WINAPI EnumPrintersA(DWORD flags, LPSTR serverName, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                             LPDWORD returned)
{
    if (Away(L"EnumPrinters"))
        return FALSE;
    return EnumPrintersOf<PRINTER_INFO_5A>(flags, serverName, level, 5, buffer, size, needed, returned);
}

WINBOOL WINAPI ClosePrinter(HANDLE handle)
{
    StubHandle* h = FromHandle(handle);
    if (!h)
        return Fail(ERROR_INVALID_HANDLE);
    // The client's handle is gone either way; only the server never hears of it.
    if (Away(L"ClosePrinter")) {
        h->magic = 0;
        delete h;
        return FALSE;
    }
    SpoolCall call;
    call.function = L"ClosePrinter";
    call.printer = h->printer;
    call.ok = true;
    {
        SpoolLock lock;
        Record(SpoolDir(), call);
    }
    h->magic = 0;
    delete h;
    return TRUE;
}

// Level 2 as the local spooler fills it for a printer of the winprint print
// processor with the RAW default data type; a connection names its server.
WINBOOL WINAPI GetPrinterW(HANDLE handle, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed)
{
    if (Away(L"GetPrinter"))
        return FALSE;
    StubHandle* h = FromHandle(handle);
    if (!h || !needed)
        return Fail(ERROR_INVALID_HANDLE);
    if (level != 2)
        return Fail(ERROR_INVALID_LEVEL);
    std::wstring dir = SpoolDir();
    SpoolLock lock;
    SpoolState state = SpoolLoadState(dir);
    SpoolPrinterSeed* printer = SpoolFindPrinter(state, h->printer);
    if (!printer)
        return Fail(ERROR_INVALID_PRINTER_NAME);
    const std::wstring driver = L"Orvanite Virtual MFP", processor = L"winprint", dataType = L"RAW", none;
    const std::wstring server = IsConnection(*printer) ? ServerOf(*printer) : none;
    *needed = static_cast<DWORD>(sizeof(PRINTER_INFO_2W));
    for (const std::wstring* text : std::initializer_list<const std::wstring*>{&printer->name, &printer->port, &driver,
                                                                                 &processor, &dataType, &none})
        *needed += InfoBuffer::StringBytes(*text);
    if (!server.empty())
        *needed += InfoBuffer::StringBytes(server);
    InfoBuffer out(buffer, size, sizeof(PRINTER_INFO_2W));
    if (!out.Fits(*needed))
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer);
    memset(info, 0, sizeof(*info));
    info->pServerName = server.empty() ? nullptr : out.Put(server);
    info->pPrinterName = out.Put(printer->name);
    info->pPortName = out.Put(printer->port);
    info->pDriverName = out.Put(driver);
    info->pPrintProcessor = out.Put(processor);
    info->pDatatype = out.Put(dataType);
    // The texts an installation leaves empty share one empty string.
    info->pShareName = info->pComment = info->pLocation = info->pSepFile = info->pParameters = out.Put(none);
    info->Attributes = printer->attributes | KindAttribute(*printer);
    info->Priority = 1;
    info->Status = printer->status;
    info->cJobs = static_cast<DWORD>(printer->jobs.size());
    return TRUE;
}

WINBOOL WINAPI SetPrinterW(HANDLE handle, DWORD level, LPBYTE info, DWORD command)
{
    if (Away(L"SetPrinter"))
        return FALSE;
    return SetStatus(handle, level, info, command);
}

WINBOOL WINAPI SetPrinterA(HANDLE handle, DWORD level, LPBYTE info, DWORD command)
{
    if (Away(L"SetPrinter"))
        return FALSE;
    return SetStatus(handle, level, info, command);
}

WINBOOL WINAPI EnumJobsW(HANDLE handle, DWORD first, DWORD count, DWORD level, LPBYTE buffer, DWORD size,
                         LPDWORD needed, LPDWORD returned)
{
    if (Away(L"EnumJobs"))
        return FALSE;
    return EnumJobsOf<wchar_t, JOB_INFO_1W, JOB_INFO_2W>(handle, first, count, level, buffer, size, needed, returned);
}

WINBOOL WINAPI EnumJobsA(HANDLE handle, DWORD first, DWORD count, DWORD level, LPBYTE buffer, DWORD size,
                         LPDWORD needed, LPDWORD returned)
{
    if (Away(L"EnumJobs"))
        return FALSE;
    return EnumJobsOf<char, JOB_INFO_1A, JOB_INFO_2A>(handle, first, count, level, buffer, size, needed, returned);
}

WINBOOL WINAPI SetJobW(HANDLE handle, DWORD job, DWORD level, LPBYTE info, DWORD command)
{
    if (Away(L"SetJob"))
        return FALSE;
    return ControlJob(handle, job, level, info, command);
}

WINBOOL WINAPI SetJobA(HANDLE handle, DWORD job, DWORD level, LPBYTE info, DWORD command)
{
    if (Away(L"SetJob"))
        return FALSE;
    return ControlJob(handle, job, level, info, command);
}

DWORD WINAPI StartDocPrinterW(HANDLE handle, DWORD level, LPBYTE info)
{
    if (Away(L"StartDocPrinter"))
        return 0;
    if (level != 1 || !info)
        return Fail(ERROR_INVALID_LEVEL);
    auto* doc = reinterpret_cast<DOC_INFO_1W*>(info);
    return StartDoc(handle, doc->pDocName ? doc->pDocName : L"", doc->pDatatype ? doc->pDatatype : L"");
}

DWORD WINAPI StartDocPrinterA(HANDLE handle, DWORD level, LPBYTE info)
{
    if (Away(L"StartDocPrinter"))
        return 0;
    if (level != 1 || !info)
        return Fail(ERROR_INVALID_LEVEL);
    auto* doc = reinterpret_cast<DOC_INFO_1A*>(info);
    return StartDoc(handle, Widen(doc->pDocName), Widen(doc->pDatatype));
}

WINBOOL WINAPI StartPagePrinter(HANDLE handle)
{
    if (Away(L"StartPagePrinter"))
        return FALSE;
    return SimpleCall(handle, L"StartPagePrinter", true);
}

WINBOOL WINAPI EndPagePrinter(HANDLE handle)
{
    if (Away(L"EndPagePrinter"))
        return FALSE;
    return SimpleCall(handle, L"EndPagePrinter", true);
}

WINBOOL WINAPI EndDocPrinter(HANDLE handle)
{
    BOOL ok = !Away(L"EndDocPrinter") && SimpleCall(handle, L"EndDocPrinter", true);
    if (StubHandle* h = FromHandle(handle))
        h->job = 0;
    return ok;
}

WINBOOL WINAPI WritePrinter(HANDLE handle, LPVOID data, DWORD size, LPDWORD written)
{
    if (Away(L"WritePrinter"))
        return FALSE;
    StubHandle* h = FromHandle(handle);
    if (!h || !written)
        return Fail(ERROR_INVALID_HANDLE);
    *written = 0;
    if (!h->job)
        return Fail(ERROR_SPL_NO_STARTDOC);
    std::wstring dir = SpoolDir();
    SpoolLock lock;
    FILE* file = _wfopen(SpoolJobFile(dir, h->job).c_str(), L"ab");
    bool ok = file && fwrite(data, 1, size, file) == size;
    if (file)
        fclose(file);
    SpoolCall call;
    call.function = L"WritePrinter";
    call.printer = h->printer;
    call.ok = ok;
    call.job = h->job;
    const auto* bytes = static_cast<const unsigned char*>(data);
    call.data.assign(bytes, bytes + size);
    Record(dir, call);
    if (!ok)
        return Fail(ERROR_WRITE_FAULT);
    *written = size;
    return TRUE;
}

DWORD WINAPI SetPrinterDataW(HANDLE handle, LPWSTR name, DWORD type, LPBYTE data, DWORD size)
{
    if (Away(L"SetPrinterData"))
        return RPC_S_SERVER_UNAVAILABLE;
    if (!data)
        return ERROR_INVALID_PARAMETER;
    return ChangeData(handle, L"SetPrinterData", name ? name : L"", type, data, size);
}

DWORD WINAPI SetPrinterDataA(HANDLE handle, LPSTR name, DWORD type, LPBYTE data, DWORD size)
{
    if (Away(L"SetPrinterData"))
        return RPC_S_SERVER_UNAVAILABLE;
    if (!data)
        return ERROR_INVALID_PARAMETER;
    return ChangeData(handle, L"SetPrinterData", Widen(name), type, data, size);
}

DWORD WINAPI GetPrinterDataW(HANDLE handle, LPWSTR name, LPDWORD type, LPBYTE data, DWORD size, LPDWORD needed)
{
    if (Away(L"GetPrinterData"))
        return RPC_S_SERVER_UNAVAILABLE;
    return ReadData(handle, name ? name : L"", type, data, size, needed);
}

DWORD WINAPI DeletePrinterDataW(HANDLE handle, LPWSTR name)
{
    if (Away(L"DeletePrinterData"))
        return RPC_S_SERVER_UNAVAILABLE;
    return ChangeData(handle, L"DeletePrinterData", name ? name : L"", 0, nullptr, 0);
}

} // extern "C"
