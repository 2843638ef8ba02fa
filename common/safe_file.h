// Writing a file whose name another process hands in (the BMP of a
// watermark job): what is there is replaced in one step by a file that was
// written whole, and only when it is the kind of file this program writes.
#pragma once

#include <windows.h>

#include <functional>

// Fills an open file; true when every byte was written.
using MISC_FileWriter = std::function<bool(HANDLE file)>;

// Writes target through a new temporary file beside it, which write fills
// and which then replaces target in one step. Refused, with nothing
// written: device and raw-namespace names, a name without a folder part or
// naming a folder, a named stream, and an existing target that is a folder,
// a link or other reparse point, read-only, or neither empty nor a BMP file
// (starting with "BM"), or one this user may not delete. While another
// process holds the old file (any open handle refuses the replace, one
// without delete sharing also the look; or a locked range) the look and the
// replace are each tried again for up to 2 s. On any failure only the
// temporary file is removed, through its handle; it is also gone if the
// process is killed meanwhile. 1 when target was written, MISC_FILE_HELD when
// the old file stayed held, else 0.
int MISC_WriteFileSafely(const WCHAR* target, const MISC_FileWriter& write);

constexpr int MISC_FILE_HELD = -1;

// What a failed step on the target means: a step gone through (the target
// is missing), one that never will (Refused), or a target that another
// process holds for now (Held).
enum class MISC_TargetStep { Done, Refused, Held };
// The steps: the look opens the target for reading and deleting, then
// reads its first two bytes; the replace renames over it.
enum class MISC_TargetPhase { Look, Read, Rename };
MISC_TargetStep MISC_TargetStepOfError(MISC_TargetPhase phase, DWORD error);
