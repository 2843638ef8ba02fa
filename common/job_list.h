// A printer's queue as EnumJobsW lists it. The spooler's two calls (ask for
// the size, then fetch) are not one step: another application may print in
// between, and the fetch then fails with ERROR_INSUFFICIENT_BUFFER and a
// larger size. Such a fetch is tried again with the new size.
#pragma once

#include <windows.h>

#include <vector>

struct JobList {
    bool listed = false;       // false: the spooler could not list the queue
    DWORD error = 0;           // then the error it gave (a spooler may give none)
    std::vector<BYTE> buffer;  // JOB_INFO_1W or JOB_INFO_2W records and their strings
    DWORD count = 0;           // records in buffer
};

// The first 255 jobs of the queue at level 1 or 2. A queue still growing
// after a few fetches, or any other failure, is not listed.
JobList MISC_ListJobs(HANDLE printer, DWORD level);

// True for a job the spooler is removing: deleted or cancelled while it
// printed, it stays listed for a while with one of these states.
bool MISC_JobIsLeaving(DWORD status);
