#include "testkit/spool.h"

#include "spooler_stub/spool_state.h"
#include "testkit/wine_test.h"


SpoolSandbox::SpoolSandbox() : dir_(folder_.Path())
{
    SetEnvironmentVariableW(L"MFPSM_SPOOL_DIR", dir_.c_str());
}

SpoolSandbox::~SpoolSandbox()
{
    SetEnvironmentVariableW(L"MFPSM_SPOOL_DIR", nullptr);
}

void SpoolSandbox::AddPrinter(const SpoolPrinterSeed& printer)
{
    SpoolLock lock;
    SpoolState state = SpoolLoadState(dir_);
    state.printers.push_back(printer);
    SpoolSaveState(dir_, state);
}

bool SpoolSandbox::AddJob(const std::wstring& printer, const SpoolJobSeed& job)
{
    SpoolLock lock;
    SpoolState state = SpoolLoadState(dir_);
    SpoolPrinterSeed* p = SpoolFindPrinter(state, printer);
    if (!p)
        return false;
    p->jobs.push_back(job);
    SpoolSaveState(dir_, state);
    return true;
}

void SpoolSandbox::StopSpoolerFor(DWORD ms)
{
    SpoolLock lock;
    SpoolState state = SpoolLoadState(dir_);
    state.awayUntil = SpoolNow() + ms;
    SpoolSaveState(dir_, state);
}

std::vector<SpoolCall> SpoolSandbox::Calls() const
{
    SpoolLock lock;
    return SpoolReadCalls(dir_);
}

std::vector<SpoolCall> SpoolSandbox::Calls(const wchar_t* function) const
{
    std::vector<SpoolCall> matching;
    for (const SpoolCall& call : Calls()) {
        if (call.function == function)
            matching.push_back(call);
    }
    return matching;
}

std::vector<SpoolJobSeed> SpoolSandbox::Jobs(const std::wstring& printer) const
{
    SpoolLock lock;
    SpoolState state = SpoolLoadState(dir_);
    const SpoolPrinterSeed* p = SpoolFindPrinter(state, printer);
    return p ? p->jobs : std::vector<SpoolJobSeed>();
}

DWORD SpoolSandbox::Status(const std::wstring& printer) const
{
    SpoolLock lock;
    SpoolState state = SpoolLoadState(dir_);
    const SpoolPrinterSeed* p = SpoolFindPrinter(state, printer);
    return p ? p->status : 0;
}

std::vector<SpoolDataValue> SpoolSandbox::Data(const std::wstring& printer) const
{
    SpoolLock lock;
    SpoolState state = SpoolLoadState(dir_);
    const SpoolPrinterSeed* p = SpoolFindPrinter(state, printer);
    return p ? p->data : std::vector<SpoolDataValue>();
}

std::vector<unsigned char> SpoolSandbox::Document(DWORD job) const
{
    return ReadAllBytes(SpoolJobFile(dir_, job));
}
