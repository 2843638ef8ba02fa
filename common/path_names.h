// Name arithmetic of the path service: plain text in, plain text out.
#pragma once

#include <string>
#include <string_view>

// "%d_%d_%d_%d_%d" of minute, second, milliseconds and the two random numbers.
std::u16string PATH_FormatStamp(int minute, int second, int milliseconds, int random1, int random2);

// Cuts the text at its last full stop (if any) and appends the stamp:
// $1A2B.tmp becomes $1A2B12_34_567_45_67.
std::u16string PATH_ApplyStamp(std::u16string_view path, std::u16string_view stamp);

// Gives the file name (the part after the last backslash) the extension ext
// (".txt"): appended when the name has none, replacing the one it has.
std::u16string PATH_SetExtension(std::u16string_view path, std::u16string_view ext);

// The executable's file name without directory and without its last extension.
std::u16string PATH_ModuleBaseName(std::u16string_view modulePath);

// The pseudo-random number in 1-99 that the temporary-name procedure uses:
// integer part of (r / 32768 x 99 + 1) for a runtime rand() value r.
int PATH_RandomOneTo99(int r);

// The autostart command for the executable: the path in quotes when it
// holds a space (unquoted, "C:\Program Files\x\mfpsm.exe" would first be
// tried as C:\Program.exe), then the command word "logon", which starts
// the resident monitor without writing the value again.
std::u16string PATH_AutostartCommand(std::u16string_view exePath);
