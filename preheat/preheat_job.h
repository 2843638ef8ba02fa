// The "PREHEAT" job: a raw PJL job that wakes a USB printer from its power
// saving state so it is warm when the real job arrives.
#pragma once

#include <windows.h>

// Opens the printer and queues the preheat job on it. 1 when the printer
// could be opened, whatever became of the job; 0 for no name or no printer.
int SM_WritePrinter(const WCHAR* printerName, const unsigned char* data, DWORD size);

// Queues the job "PreHeat" (data, 512 zero bytes, data) unless one is queued
// already or the printer is offline or not on a USB port. 1 when a preheat
// job was queued before or the new one was written completely.
int MISC_CreatPreheatJob(HANDLE printer, const unsigned char* data, DWORD size);

// 1 when a queued job of the printer has the document name, in any letter
// case, and is not being deleted.
int MISC_FindPreheatJob(HANDLE printer, const WCHAR* documentName);
