// drvsim printer-data PRINTER NAME...: reads printer data values back through
// the spooler, as the driver does after a prompt, and prints each with its
// type and size.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <vector>

#include "tools/drvsim/drvsim.h"

namespace {

// "the rest zero" when every byte after the text's end is zero: a value
// written with its full buffer must not carry an older, longer text on.
void PrintText(const wchar_t* name, const std::vector<BYTE>& data)
{
    size_t units = data.size() / sizeof(wchar_t);
    const auto* text = reinterpret_cast<const wchar_t*>(data.data());
    size_t length = 0;
    while (length < units && text[length])
        ++length;
    bool restZero = true;
    for (size_t i = (length + 1) * sizeof(wchar_t); i < data.size(); ++i)
        restZero = restZero && data[i] == 0;
    wprintf(L"%ls: REG_SZ, %zu bytes, \"%ls\", %ls\n", name, data.size(), std::wstring(text, length).c_str(),
            length == units ? L"no end" : restZero ? L"the rest zero" : L"the rest not zero");
}

void PrintValue(const wchar_t* name, DWORD type, const std::vector<BYTE>& data)
{
    if (type == REG_SZ) {
        PrintText(name, data);
        return;
    }
    if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
        wprintf(L"%ls: REG_DWORD, 4 bytes, %lu\n", name, *reinterpret_cast<const DWORD*>(data.data()));
        return;
    }
    wprintf(L"%ls: type %lu, %zu bytes,", name, type, data.size());
    for (BYTE b : data)
        wprintf(L" %02x", b);
    wprintf(L"\n");
}

// Asks for the size, then reads; false (and the error printed) when the
// value cannot be read.
bool ReadValue(HANDLE printer, const std::wstring& name)
{
    DWORD type = 0, needed = 0;
    DWORD rc = GetPrinterDataW(printer, const_cast<LPWSTR>(name.c_str()), &type, nullptr, 0, &needed);
    std::vector<BYTE> data(needed);
    if (rc == ERROR_MORE_DATA)
        rc = GetPrinterDataW(printer, const_cast<LPWSTR>(name.c_str()), &type, data.data(), needed, &needed);
    if (rc != ERROR_SUCCESS) {
        wprintf(L"%ls: not read, error %lu\n", name.c_str(), rc);
        return false;
    }
    data.resize(needed);
    PrintValue(name.c_str(), type, data);
    return true;
}

// printer-data PRINTER NAME...: exit 0 when every value was read, else 1.
int PrinterData(const std::vector<std::wstring>& args)
{
    if (args.size() < 2)
        return DrvsimFail(L"printer-data takes PRINTER NAME...");
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ACCESS_USE};
    if (!OpenPrinterW(const_cast<LPWSTR>(args[0].c_str()), &printer, &defaults))
        return DrvsimFail(L"cannot open printer %ls (error %lu)", args[0].c_str(), GetLastError());
    bool all = true;
    for (size_t i = 1; i < args.size(); ++i)
        all = ReadValue(printer, args[i]) && all;
    ClosePrinter(printer);
    fflush(stdout);
    return all ? 0 : 1;
}

} // namespace

DRVSIM_COMMAND(printer_data, L"printer-data", L"PRINTER NAME... (prints printer data values with type and size)", PrinterData);
