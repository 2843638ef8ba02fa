// Windows version code of mfpsm: one bit per known Windows version. Codes
// above 16 are the NT family, the others the 9x family.
#pragma once

#include <cstdint>

constexpr uint32_t kPlatformWin32s = 0;   // VER_PLATFORM_WIN32s
constexpr uint32_t kPlatformWindows = 1;  // VER_PLATFORM_WIN32_WINDOWS (9x)
constexpr uint32_t kPlatformNT = 2;       // VER_PLATFORM_WIN32_NT

// Code for a version query's outcome; queryOk false gives 1.
uint32_t SM_OsVersionCodeFor(bool queryOk, uint32_t platformId, uint32_t major, uint32_t minor);

inline bool SM_IsNTFamily(uint32_t code) { return code > 16; }
