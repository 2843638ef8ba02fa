// The test side of the project's print server (tools/print-server), which
// Wine's own spooler serves when a test runs with MFPSM_WINE_PRINT_SERVER=1:
// the jobs it received, read from its spool folder (kept control files
// c<job> and job files d<job>-001).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The print server's queues (tools/print-server).
constexpr const wchar_t* kUsbQueue = L"MFP_USB";  // Wine's port name CUPS:MFP_USB
constexpr const wchar_t* kLanQueue = L"MFP_LAN";

// A job as the print server keeps it.
struct ServerJob {
    DWORD id = 0;
    std::string queue;   // the queue it was sent to
    std::string name;    // job-name: the document name
    std::string format;  // document-format the server took it as
    int state = 0;       // job-state: 9 once completed
    std::vector<unsigned char> data;  // the bytes received
};

constexpr int kJobCompleted = 9;

// The print server's folder (the one holding CUPS_SERVER's socket) as a
// Windows path with a trailing backslash; empty when CUPS_SERVER is unset.
std::wstring PrintServerDir();

// Every job whose control file can be read, by ascending id.
std::vector<ServerJob> PrintServerJobs();

// The highest job id the server has given, 0 before its first job.
DWORD LastServerJobId();

// Waits until the job after `after` is completed, or the deadline passes;
// the job, or one with id 0.
ServerJob WaitForServerJob(DWORD after, DWORD timeoutMs);
