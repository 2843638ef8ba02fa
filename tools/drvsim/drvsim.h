// drvsim: the driver side of the package, as far as mfpsm needs one. Each
// sub-command lives in its own file and registers itself with DRVSIM_COMMAND.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct DrvsimCommand {
    const wchar_t* name;
    const wchar_t* usage;  // the arguments, for the help text
    int (*run)(const std::vector<std::wstring>& args);  // args after the name; returns the exit code
};

struct DrvsimRegistrar {
    explicit DrvsimRegistrar(const DrvsimCommand& command);
};

#define DRVSIM_COMMAND(id, name, usage, run) \
    static const DrvsimRegistrar drvsim_registrar_##id({name, usage, run})

const std::vector<DrvsimCommand>& DrvsimCommands();

// Writes "drvsim: " and the message to standard error; returns exit code 2.
int DrvsimFail(const wchar_t* format, ...);

// Strict number parsing: the whole text must be a decimal number within range.
bool DrvsimParseInt(const std::wstring& text, long long low, long long high, long long* value);

// The status exchange file, found exactly as mfpsm finds it (and made a
// UTF-16 file if needed); empty when its folder cannot be found.
std::wstring DrvsimStatusFile();

// The exit code of a driver-side library call: 0 when it succeeded, 2 when
// it refused its input as bad, else 1; what failed is written to standard
// error with the library's error code.
int DrvsimResult(DWORD rc, const wchar_t* what);
