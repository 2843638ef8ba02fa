// The printer's spooler status and the job commands, both for the printer
// named by "PrinterName" of the status file.
#pragma once

#include <windows.h>

constexpr DWORD kSetStatusCommand = 4;  // PRINTER_CONTROL_SET_STATUS
constexpr DWORD kJobCancel = 3;         // JOB_CONTROL_CANCEL
constexpr DWORD kJobRestart = 4;        // JOB_CONTROL_RESTART
constexpr DWORD kJobDelete = 5;         // JOB_CONTROL_DELETE

// Sets the printer's status word unless it is the word set last. Opens the
// printer for PRINTER_ACCESS_ADMINISTER, or where refused for
// PRINTER_ACCESS_MANAGE_LIMITED. Returns 1.
int SM_SetSpoolerStatus(DWORD status, DWORD command);
// Sets the status word of an error code, if the code has one. Returns 1.
int SM_SetSpoolerStatusByCode(int code);
// Sets status 0 and forgets the last word, so any word is set again. Returns 1.
int SM_ClearSpoolerStatus();
// Where the spooler was away (SM_IsSpoolerAway), the last set or clear is
// owed: tried again here, on a tick, at most once a second.
void SM_RetryOwedSpoolerStatus();
// A new status decides the word itself: nothing older is tried again.
void SM_ForgetOwedSpoolerStatus();
// Sends command to job jobId (cancel becomes delete on the NT family and
// clears the printer status first). 1 if the spooler took it.
int SM_SetPrinterJob(DWORD command, DWORD jobId);
