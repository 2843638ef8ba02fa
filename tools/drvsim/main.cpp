// drvsim COMMAND ARGS...: see README.md ("drvsim") for the commands.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cwchar>

#include "driverside/mfpsm_driver.h"
#include "tools/drvsim/drvsim.h"

namespace {

std::vector<DrvsimCommand>& Registry()
{
    static std::vector<DrvsimCommand> commands;
    return commands;
}

int Help(FILE* out)
{
    fwprintf(out, L"usage: drvsim COMMAND [ARGS]\ncommands:\n");
    for (const DrvsimCommand& c : DrvsimCommands())
        fwprintf(out, L"  %ls %ls\n", c.name, c.usage);
    return out == stdout ? 0 : 2;
}

} // namespace

DrvsimRegistrar::DrvsimRegistrar(const DrvsimCommand& command)
{
    Registry().push_back(command);
}

const std::vector<DrvsimCommand>& DrvsimCommands()
{
    return Registry();
}

int DrvsimFail(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    fwprintf(stderr, L"drvsim: ");
    vfwprintf(stderr, format, args);
    fwprintf(stderr, L"\n");
    va_end(args);
    return 2;
}

bool DrvsimParseInt(const std::wstring& text, long long low, long long high, long long* value)
{
    if (text.empty())
        return false;
    wchar_t* end = nullptr;
    errno = 0;
    long long v = wcstoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != L'\0' || v < low || v > high)
        return false;
    *value = v;
    return true;
}

std::wstring DrvsimStatusFile()
{
    WCHAR path[MAX_PATH];
    if (MfpsmDrvStatusFilePath(path, MAX_PATH) != ERROR_SUCCESS)
        return {};
    return path;
}

int DrvsimResult(DWORD rc, const wchar_t* what)
{
    if (rc == ERROR_SUCCESS)
        return 0;
    wchar_t text[512] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, rc, 0, text, 512, nullptr);
    for (size_t n = wcslen(text); n > 0 && (text[n - 1] == L'\n' || text[n - 1] == L'\r'); --n)
        text[n - 1] = L'\0';
    bool refused = rc == ERROR_INVALID_PARAMETER || rc == ERROR_INSUFFICIENT_BUFFER || rc == ERROR_BAD_PATHNAME;
    DrvsimFail(L"%ls: error %lu (%ls)", what, rc, text);
    return refused ? 2 : 1;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return Help(stderr);
    std::wstring name = argv[1];
    if (name == L"help" || name == L"--help" || name == L"-h")
        return Help(stdout);
    for (const DrvsimCommand& c : DrvsimCommands()) {
        if (name == c.name)
            return c.run(std::vector<std::wstring>(argv + 2, argv + argc));
    }
    DrvsimFail(L"unknown command '%ls'", argv[1]);
    return Help(stderr);
}
