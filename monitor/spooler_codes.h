// Which printer status word the spooler shows for a printer error code.
#pragma once

#include <cstdint>

// Spooler printer status flags used by the monitor.
constexpr uint32_t kStatusError = 0x2;
constexpr uint32_t kStatusPaperJam = 0x8;
constexpr uint32_t kStatusPaperOut = 0x10;
constexpr uint32_t kStatusPaperProblem = 0x40;
constexpr uint32_t kStatusOffline = 0x80;
constexpr uint32_t kStatusBusy = 0x200;
constexpr uint32_t kStatusPrinting = 0x400;
constexpr uint32_t kStatusWarmingUp = 0x10000;
constexpr uint32_t kStatusTonerLow = 0x20000;
constexpr uint32_t kStatusNoToner = 0x40000;
constexpr uint32_t kStatusUserIntervention = 0x100000;
constexpr uint32_t kStatusDoorOpen = 0x400000;

// True and the word for a code with a status; false for codes that set none.
bool SM_StatusWordOfCode(int code, uint32_t* word);

// True for the errors of a spooler that is not there (stopped, restarting,
// overloaded): a call that failed so is worth trying again later. Any other
// failure is the printer's or the rights' answer and stays as it is.
bool SM_IsSpoolerAway(uint32_t error);
