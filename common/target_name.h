// Names of files that another process asks this program to write: which of
// them may be written at all, and the name of a temporary file beside one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum class PATH_TargetVerdict {
    Ok,
    Empty,
    DeviceNamespace,  // \\.\, \\?\ or \??\: devices, volumes, the raw object namespace
    DeviceName,       // CON, NUL, COM1, ... as the file name: the device, not a file
    StreamName,       // a colon past the drive letter: a named stream of another file
    NoFolder,         // "wm.bmp", "C:wm.bmp": lands wherever the current directory is
    NamesFolder,      // ends in a separator, or in "." or ".."
};

// Judges the text of a path before anything on the disk is looked at.
PATH_TargetVerdict PATH_CheckTargetName(std::u16string_view path);

// Units of the folder part, up to and including the last separator; 0 when
// there is none.
size_t PATH_FolderLength(std::u16string_view path);

// A name in folder (which ends in its separator) for a temporary sibling:
// "~" and the stamp's hex digits. The digits are cut (to no fewer than 4)
// so that the whole fits in maxUnits units with its terminator; empty when
// even that does not fit.
std::u16string PATH_TempSibling(std::u16string_view folder, uint32_t stamp, size_t maxUnits);
