// The status exchange file: the driver side writes the printer, the job, the
// error code list and a message word; the monitor answers through two keys.
// Every key is read afresh, because the driver writes from another process.
// "PrinterName", "Status", "JobID" and "ShowSM", which the driver keeps in the
// file, are read again a few times when missing: a read while the driver
// rewrites the file finds it cut short. "Message" and "LastMsg" are read once
// on every tick; a read that misses them puts the status off to the next tick.
#pragma once

#include <windows.h>

constexpr const wchar_t* kSectionPrinter = L"Printer Information";
constexpr const wchar_t* kSectionJob = L"Job Information";

constexpr const wchar_t* kKeyPrinterName = L"PrinterName";
constexpr const wchar_t* kKeyMessage = L"Message";
constexpr const wchar_t* kKeyLastMsg = L"LastMsg";
constexpr const wchar_t* kKeyStatus = L"Status";
constexpr const wchar_t* kKeyShowSM = L"ShowSM";
constexpr const wchar_t* kKeyContinuePrint = L"ContinuePrint";
constexpr const wchar_t* kKeyJobID = L"JobID";

constexpr int kPrinterNameUnits = 256;

// An integer key of the status exchange file, or def when it is missing.
int SM_ReadStatusInt(const wchar_t* section, const wchar_t* key, int def);
// An integer key the driver keeps in the file (decimal, read again while
// missing), or def when it stays missing.
int SM_ReadKeptInt(const wchar_t* section, const wchar_t* key, int def);

// "JobID" of section "Job Information"; 0 when missing, which names no job.
DWORD SM_ReadJobID();

// "PrinterName" into name (kPrinterNameUnits units); "" when missing.
void SM_ReadPrinterName(WCHAR* name);

// Writes a key of section "Printer Information" with retries, then reads it
// back every 25 ms and writes it again while another writer's rewrite has
// put the old state back (at most 12 read-backs, about 300 ms); meant for
// number values that may be repeated. 1 when the value was seen in place or
// the driver has answered it since, else 0.
int SM_WriteStatusKey(const wchar_t* key, const wchar_t* value);

// Reads "Status" and parses it into list (48 entries, zeroed by the caller)
// and *count; a store name it carries replaces g_szStoreName. Returns count.
int GetErrCode(int* list, int* count);
