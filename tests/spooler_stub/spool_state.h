// State of the spooler stand-in, shared by the stand-in DLL and the test
// side (testkit/spool.cpp). It lives in the folder named by MFPSM_SPOOL_DIR:
//   state.txt    printers and their queues (UTF-8, one tab-separated record a line)
//   record.txt   every call, appended (UTF-8, one tab-separated record a line)
//   job-N.bin    the bytes written to job N
// Every read-modify-write of the folder happens under one named mutex, since
// the program under test and the test run in separate processes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "testkit/spool.h"

struct SpoolState {
    std::vector<SpoolPrinterSeed> printers;
    DWORD nextJob = 100;
    ULONGLONG awayUntil = 0;  // SpoolNow() until which the spooler is stopped; 0: running
};

// Milliseconds of the wall clock, the same in every process.
ULONGLONG SpoolNow();

// The state folder, with a trailing backslash; empty when the variable is unset.
std::wstring SpoolDir();

// Holds the stand-in's cross-process mutex for its lifetime.
class SpoolLock {
public:
    SpoolLock();
    ~SpoolLock();
    SpoolLock(const SpoolLock&) = delete;
    SpoolLock& operator=(const SpoolLock&) = delete;

private:
    HANDLE mutex_ = nullptr;
};

SpoolState SpoolLoadState(const std::wstring& dir);
bool SpoolSaveState(const std::wstring& dir, const SpoolState& state);
SpoolPrinterSeed* SpoolFindPrinter(SpoolState& state, const std::wstring& name);

void SpoolAppendCall(const std::wstring& dir, const SpoolCall& call);
std::vector<SpoolCall> SpoolReadCalls(const std::wstring& dir);

std::wstring SpoolJobFile(const std::wstring& dir, DWORD job);
