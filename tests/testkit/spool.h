// The test side of the spooler stand-in (tests/spooler_stub, a winspool.drv
// that keeps its state in the folder named by MFPSM_SPOOL_DIR). A sandbox
// seeds printers and jobs and reads back the append-only record of calls.
// Windows tests run with WINEDLLOVERRIDES=winspool.drv=n, so the program
// under test and the test itself load the stand-in that lies beside them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "testkit/wine_test.h"

struct SpoolJobSeed {
    DWORD id = 0;
    std::wstring document;
    bool otherOwner = false;  // queued by another user, not by the caller
    std::wstring dataType = L"RAW";  // the job's data type: the printer's default (RAW) unless given
    bool printing = false;    // being printed: a delete leaves it listed a while as JOB_STATUS_DELETING
    DWORD status = 0;         // JOB_INFO Status beyond JOB_STATUS_PRINTING
    DWORD lingers = 0;        // while deleting: EnumJobs answers that still list it
};

// The caller's rights on a printer under the default printer security: an
// administrator has full control; a standard user may print and manage
// the jobs they own; an installer may grant users limited management
// (PRINTER_ACCESS_MANAGE_LIMITED: printer data and the status word).
enum class SpoolRights : int { kAdmin, kUser, kUserLimited };

// A printer data value as the stand-in keeps it.
struct SpoolDataValue {
    std::wstring name;
    DWORD type = 0;
    std::vector<unsigned char> data;
};

struct SpoolPrinterSeed {
    std::wstring name;           // \\server\share: this user's connection to a share; else a local printer
    std::wstring port = L"USB001";
    DWORD attributes = 0;        // PRINTER_INFO_2 Attributes (0x400: work offline)
    DWORD status = 0;            // the printer's status word at the start
    bool refuseOpen = false;     // OpenPrinter fails for this printer
    SpoolRights rights = SpoolRights::kAdmin;
    std::wstring failValue;      // SetPrinterData of this value name fails (ERROR_NOT_ENOUGH_MEMORY)
    std::vector<SpoolJobSeed> jobs;
    std::vector<SpoolDataValue> data;  // printer data values, in the order first set
    std::wstring failDelete;     // DeletePrinterData of this value name fails (ERROR_NOT_ENOUGH_MEMORY)
    // Jobs queued one at a time, each as an EnumJobs call answers that its
    // buffer is too small: the queue grows between the size query and the fetch.
    std::vector<SpoolJobSeed> arriving;
};

// One recorded call of the stand-in.
struct SpoolCall {
    std::wstring function;  // "OpenPrinter", "SetPrinter", "SetJob", "SetPrinterData", "DeletePrinterData",
                            // "StartDocPrinter", "StartPagePrinter", "WritePrinter", "EndPagePrinter",
                            // "EndDocPrinter", "ClosePrinter"
    std::wstring printer;   // the printer the handle was opened for
    bool ok = false;        // what the stand-in answered
    DWORD status = 0;       // SetPrinter: the status word; SetJob: the job id
    DWORD command = 0;      // SetPrinter / SetJob: the command
    DWORD job = 0;          // StartDocPrinter, WritePrinter, ...: the job id
    DWORD type = 0;         // SetPrinterData: the value type
    std::wstring name;      // Set/DeletePrinterData: value name; StartDocPrinter: document name
    std::vector<unsigned char> data;  // SetPrinterData / WritePrinter: the exact bytes
    DWORD access = 0;       // OpenPrinter: the access asked for (0: no defaults given)
    DWORD error = 0;        // the error of a refused call
    std::wstring dataType;  // StartDocPrinter: the data type of DOC_INFO_1
};

class SpoolSandbox {
public:
    // A fresh state folder; MFPSM_SPOOL_DIR is set for this process and the
    // processes it starts from now on.
    SpoolSandbox();
    // Unsets the variable; the folder goes with its files.
    ~SpoolSandbox();
    SpoolSandbox(const SpoolSandbox&) = delete;
    SpoolSandbox& operator=(const SpoolSandbox&) = delete;

    void AddPrinter(const SpoolPrinterSeed& printer);
    // Queues one more job on a seeded printer, as an application printing
    // while the monitor runs would; false when the printer is unknown.
    bool AddJob(const std::wstring& printer, const SpoolJobSeed& job);

    // The spooler stops now for ms milliseconds, as when an update or an
    // administrator restarts it: until then every call of the stand-in
    // fails with RPC_S_SERVER_UNAVAILABLE and is recorded so.
    void StopSpoolerFor(DWORD ms);

    std::vector<SpoolCall> Calls() const;                          // every call, in order
    std::vector<SpoolCall> Calls(const wchar_t* function) const;   // those of one function
    std::vector<SpoolJobSeed> Jobs(const std::wstring& printer) const;  // the queue now
    DWORD Status(const std::wstring& printer) const;               // the status word now
    std::vector<SpoolDataValue> Data(const std::wstring& printer) const;  // its printer data now
    std::vector<unsigned char> Document(DWORD job) const;          // all bytes written to a job

    const std::wstring& Dir() const { return dir_; }

private:
    ScratchDir folder_;
    std::wstring dir_;
};
