#include "common/job_list.h"

#include <winspool.h>

namespace {

constexpr DWORD kMaxJobs = 255;
constexpr int kFetches = 8;  // a queue that grows faster than that is left unlisted

} // namespace

JobList MISC_ListJobs(HANDLE printer, DWORD level)
{
    JobList list;
    DWORD needed = 0;
    DWORD returned = 0;
    // With no buffer the call fails, giving the size; an empty queue needs none.
    if (EnumJobsW(printer, 0, kMaxJobs, level, nullptr, 0, &needed, &returned)) {
        list.listed = true;
        return list;
    }
    for (int fetch = 0; fetch < kFetches; ++fetch) {
        list.buffer.assign(needed ? needed : 1, 0);
        DWORD size = needed;
        if (EnumJobsW(printer, 0, kMaxJobs, level, list.buffer.data(), size, &needed, &returned)) {
            list.listed = true;
            list.count = returned;
            return list;
        }
        list.error = GetLastError();
        // Only a queue that grew is fetched again; a size that did not grow
        // would fail the same way.
        if (list.error != ERROR_INSUFFICIENT_BUFFER || needed <= size)
            break;
    }
    list.buffer.clear();
    return list;
}

bool MISC_JobIsLeaving(DWORD status)
{
    return (status & (JOB_STATUS_DELETING | JOB_STATUS_DELETED)) != 0;
}
