#include "preheat/preheat_job.h"

#include <cwchar>
#include <vector>

#include "common/handle_guards.h"
#include "common/job_list.h"
#include "common/trace.h"
#include "preheat/wakeup_stream.h"

namespace {

constexpr const wchar_t* kDocumentName = L"PreHeat";

std::vector<BYTE> PrinterInfo2(HANDLE printer)
{
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_2W))
        return {};
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterW(printer, 2, buffer.data(), needed, &needed))
        return {};
    return buffer;
}

// Writes the page piece by piece; the first short or failed write ends it.
bool WritePage(HANDLE printer, const unsigned char* data, DWORD size)
{
    PreheatPiece pieces[kPreheatPieces];
    MISC_PreheatPieces(data, size, pieces);
    for (const PreheatPiece& piece : pieces) {
        DWORD written = 0;
        DWORD wanted = static_cast<DWORD>(piece.size);
        if (!WritePrinter(printer, const_cast<unsigned char*>(piece.data), wanted, &written)) {
            TRACE_Tag(L"MISC_CreatPreheatJob", L"WritePrinter error, code = %lu!\n", GetLastError());
            return false;
        }
        if (written != wanted) {
            TRACE_Tag(L"MISC_CreatPreheatJob", L"WritePrinter error, %lu of %lu bytes written!\n", written, wanted);
            return false;
        }
    }
    return true;
}

// Start page, the data, end page: 1 only when the whole page went out.
int WriteJobPage(HANDLE printer, const unsigned char* data, DWORD size)
{
    constexpr const wchar_t* kTag = L"MISC_CreatPreheatJob";
    TRACE_Tag(kTag, L"StartPagePrinter");
    if (!StartPagePrinter(printer)) {
        TRACE_Tag(kTag, L"StartPagePrinter error, code = %lu!\n", GetLastError());
        return 0;
    }
    if (!WritePage(printer, data, size))
        return 0;
    TRACE_Tag(kTag, L"EndPagePrinter");
    if (!EndPagePrinter(printer)) {
        TRACE_Tag(kTag, L"EndPagePrinter error, code = %lu!\n", GetLastError());
        return 0;
    }
    return 1;
}

} // namespace

// A queue that cannot be listed counts as holding no such job. A job the
// spooler is removing (deleted while it printed) will not wake the printer.
int MISC_FindPreheatJob(HANDLE printer, const WCHAR* documentName)
{
    constexpr const wchar_t* kTag = L"MISC_FindPreheatJob";
    JobList queue = MISC_ListJobs(printer, 2);
    if (!queue.listed)
        TRACE_TagError(kTag, L"EnumJobs fail! rc = %lu", queue.error);
    TRACE_Tag(kTag, L"pcReturned = %lu", queue.count);
    const JOB_INFO_2W* jobs = reinterpret_cast<const JOB_INFO_2W*>(queue.buffer.data());
    int found = 0;
    for (DWORD i = 0; i < queue.count; ++i) {
        const WCHAR* name = jobs[i].pDocument;
        TRACE_Tag(kTag, L"JobId = %lu, job name is %ls", jobs[i].JobId, name ? name : L"");
        if (MISC_JobIsLeaving(jobs[i].Status))
            TRACE_Tag(kTag, L"JobId = %lu is being deleted", jobs[i].JobId);
        else if (name && documentName && _wcsicmp(name, documentName) == 0)
            found = 1;
    }
    return found;
}

int MISC_CreatPreheatJob(HANDLE printer, const unsigned char* data, DWORD size)
{
    constexpr const wchar_t* kTag = L"MISC_CreatPreheatJob";
    TRACE_Tag(kTag, L"In");
    int result = 0;
    DWORD job = 0;
    std::vector<BYTE> info;
    if (MISC_FindPreheatJob(printer, kDocumentName)) {
        TRACE_Tag(kTag, L"job exist!");
        result = 1;
    } else {
        TRACE_Tag(kTag, L"GetPrinter");
        info = PrinterInfo2(printer);
        const PRINTER_INFO_2W* printerInfo = reinterpret_cast<const PRINTER_INFO_2W*>(info.data());
        if (!printerInfo) {
            TRACE_TagError(kTag, L"GetPrinter fail! rc = %lu", GetLastError());
        } else if (printerInfo->Attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE) {
            TRACE_Tag(kTag, L"Printer is offline.");
        } else if (!printerInfo->pPortName || !wcsstr(printerInfo->pPortName, L"USB")) {
            TRACE_Tag(kTag, L"Printer is network.");
        } else {
            TRACE_Tag(kTag, L"StartDocPrinter");
            // RAW: the bytes are PJL for the printer itself; a queue whose
            // default data type is EMF would refuse them.
            DOC_INFO_1W document = {const_cast<WCHAR*>(kDocumentName), nullptr, const_cast<WCHAR*>(L"RAW")};
            job = StartDocPrinterW(printer, 1, reinterpret_cast<BYTE*>(&document));
            if (job == 0)
                TRACE_Tag(kTag, L"StartDocPrinter error, code = %lu!\n", GetLastError());
            else
                result = WriteJobPage(printer, data, size);
        }
    }
    TRACE_Tag(kTag, L"EndDocPrinter");
    if (job > 0)
        EndDocPrinter(printer);
    TRACE_Tag(kTag, L"Out");
    return result;
}

int SM_WritePrinter(const WCHAR* printerName, const unsigned char* data, DWORD size)
{
    if (!printerName) {
        TRACE_Tag(L"SM_WritePrinter", L"PrinterName is null!");
        return 0;
    }
    // Printing needs only the right every user holds.
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ACCESS_USE};
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<WCHAR*>(printerName), &printer, &defaults)) {
        TRACE_Tag(L"SM_WritePrinter", L"Open %ls fail! rc = %lu", printerName, GetLastError());
        return 0;
    }
    ScopedPrinter guard(printer);
    MISC_CreatPreheatJob(printer, data, size);
    return 1;
}
