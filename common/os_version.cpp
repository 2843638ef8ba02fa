#include "common/os_version.h"

static uint32_t Windows9xCode(uint32_t minor)
{
    if (minor == 0)
        return 4;
    if (minor == 90)
        return 16;
    return 8;
}

static uint32_t WindowsNTCode(uint32_t major, uint32_t minor)
{
    switch (major) {
    case 3: return 32;
    case 4: return 64;
    case 5: return 256;
    case 6:
        switch (minor) {
        case 1: return 2048;
        case 2: return 4096;
        case 3: return 8192;
        default: return 512;
        }
    default: return 16384;
    }
}

uint32_t SM_OsVersionCodeFor(bool queryOk, uint32_t platformId, uint32_t major, uint32_t minor)
{
    if (!queryOk)
        return 1;
    switch (platformId) {
    case kPlatformWin32s: return 2;
    case kPlatformWindows: return Windows9xCode(minor);
    case kPlatformNT: return WindowsNTCode(major, minor);
    default: return 128;
    }
}
