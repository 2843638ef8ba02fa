// spooler_probe PRINTER: asks whichever winspool.drv it loads (the stand-in
// beside it, or Wine's own) the calls that both answer, on PRINTER, and
// prints one "key=value" line per answer. The stand-in's test runs it on both
// and compares (tests/spooler_stub/DIFFERENCES.md lists where they differ).
// PRINTER must be one the caller administers, with an empty queue.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Say(const char* key, const std::string& value)
{
    printf("%s=%s\n", key, value.c_str());
}

std::string Answer(BOOL ok)
{
    return ok ? "ok" : "error " + std::to_string(GetLastError());
}

// A spooler may fail a call without setting an error: it shows as error 0,
// not as the error of an earlier call.
template <typename Call>
std::string Try(Call call)
{
    SetLastError(0);
    return Answer(call());
}

std::string Code(DWORD rc)
{
    return rc == ERROR_SUCCESS ? "ok" : "error " + std::to_string(rc);
}

std::string Narrow(const wchar_t* text)
{
    if (!text)
        return "null";
    std::string out;
    for (; *text; ++text)
        out += *text < 0x80 ? static_cast<char>(*text) : '?';
    return out;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

std::string Hex(DWORD value)
{
    char text[16];
    snprintf(text, sizeof(text), "0x%lx", value);
    return text;
}

HANDLE Open(const wchar_t* name, DWORD access)
{
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, access};
    HANDLE printer = nullptr;
    return OpenPrinterW(const_cast<LPWSTR>(name), &printer, &defaults) ? printer : nullptr;
}

void ProbeOpens(const std::wstring& name)
{
    std::wstring otherCase = name;
    for (wchar_t& c : otherCase)
        c = c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c;
    const std::pair<const char*, std::wstring> names[] = {
        {"open.unknown", L"No such MFP"}, {"open.unc", L"\\\\print-host\\" + name}, {"open.other_case", otherCase}};
    for (const auto& [key, tried] : names) {
        SetLastError(0);
        HANDLE printer = Open(tried.c_str(), PRINTER_ACCESS_USE);
        Say(key, printer ? "ok" : Answer(FALSE));
        if (printer)
            ClosePrinter(printer);
    }
}

void ProbeListing(const std::wstring& name)
{
    const std::pair<const char*, DWORD> listings[] = {{"enum.local", PRINTER_ENUM_LOCAL},
                                                      {"enum.connections", PRINTER_ENUM_CONNECTIONS}};
    for (const auto& [key, flags] : listings) {
        DWORD needed = 0, returned = 0;
        Say((std::string(key) + ".query").c_str(),
            Try([&, flags = flags] { return EnumPrintersW(flags, nullptr, 4, nullptr, 0, &needed, &returned); }));
        std::vector<BYTE> buffer(needed ? needed : 1);
        if (!EnumPrintersW(flags, nullptr, 4, buffer.data(), needed, &needed, &returned)) {
            Say(key, Answer(FALSE));
            continue;
        }
        const auto* infos = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data());
        std::string found = "not listed";
        for (DWORD i = 0; i < returned; ++i) {
            if (infos[i].pPrinterName && name == infos[i].pPrinterName)
                found = "listed, server " + Narrow(infos[i].pServerName) + ", attributes " + Hex(infos[i].Attributes);
        }
        Say(key, found);
    }
}

void ProbeLevel2(HANDLE printer)
{
    DWORD needed = 0;
    Say("getprinter2.query", Try([&] { return GetPrinterW(printer, 2, nullptr, 0, &needed); }));
    std::vector<BYTE> buffer(needed ? needed : 1);
    BOOL ok = GetPrinterW(printer, 2, buffer.data(), needed, &needed);
    Say("getprinter2", Answer(ok));
    if (!ok)
        return;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    Say("getprinter2.name", Narrow(info->pPrinterName));
    Say("getprinter2.server", Narrow(info->pServerName));
    Say("getprinter2.port", Narrow(info->pPortName));
    Say("getprinter2.share", Narrow(info->pShareName));
    Say("getprinter2.datatype", Narrow(info->pDatatype));
    Say("getprinter2.processor", Lower(Narrow(info->pPrintProcessor)));
    Say("getprinter2.devmode", info->pDevMode ? "given" : "none");
    Say("getprinter2.attributes", Hex(info->Attributes));
    Say("getprinter2.priority", std::to_string(info->Priority));
    Say("getprinter2.status", Hex(info->Status));
    Say("getprinter2.jobs", std::to_string(info->cJobs));
}

// A value written as the prompts write theirs, then read as the driver does.
void ProbeValue(HANDLE printer, const char* key, const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    DWORD rc = SetPrinterDataW(printer, const_cast<LPWSTR>(name), type, static_cast<LPBYTE>(const_cast<void*>(data)), size);
    Say((std::string(key) + ".set").c_str(), Code(rc));
    DWORD readType = 0, needed = 0;
    rc = GetPrinterDataW(printer, const_cast<LPWSTR>(name), &readType, nullptr, 0, &needed);
    Say((std::string(key) + ".query").c_str(),
        Code(rc) + ", type " + std::to_string(readType) + ", size " + std::to_string(needed));
    std::vector<BYTE> read(needed ? needed : 1);
    rc = GetPrinterDataW(printer, const_cast<LPWSTR>(name), &readType, read.data(), needed, &needed);
    bool same = needed == size && memcmp(read.data(), data, size) == 0;
    Say(key, Code(rc) + ", type " + std::to_string(readType) + ", size " + std::to_string(needed) +
                 (same ? ", same bytes" : ", other bytes"));
}

void ProbeData(HANDLE printer)
{
    wchar_t text[260] = L"job 1";
    const DWORD number = 1;
    ProbeValue(printer, "data.text", L"ProbeText", REG_SZ, text, sizeof(text));
    ProbeValue(printer, "data.number", L"ProbeNumber", REG_DWORD, &number, sizeof(number));
    DWORD type = 0, needed = 0;
    BYTE read[8];
    Say("data.missing", Code(GetPrinterDataW(printer, const_cast<LPWSTR>(L"ProbeMissing"), &type, read, 8, &needed)));
}

void ProbeJobs(HANDLE printer)
{
    Say("setprinter.status",
        Try([printer] { return SetPrinterW(printer, 0, reinterpret_cast<LPBYTE>(static_cast<ULONG_PTR>(0x8)), 4); }));
    DWORD needed = 0, returned = 0;
    BYTE none[1];
    std::string listed = Try([&] { return EnumJobsW(printer, 0, 255, 1, none, 0, &needed, &returned); });
    Say("enumjobs", listed == "ok" ? "ok, " + std::to_string(returned) + " jobs" : listed);
    Say("setjob.unknown", Try([printer] { return SetJobW(printer, 99999, 0, nullptr, JOB_CONTROL_DELETE); }));
    DWORD written = 0;
    Say("write.nodoc", Try([&] { return WritePrinter(printer, const_cast<char*>("x"), 1, &written); }));
    const std::pair<const char*, const wchar_t*> documents[] = {{"startdoc.raw", L"RAW"},
                                                                {"startdoc.unknown_type", L"PostScript"}};
    for (const auto& [key, dataType] : documents) {
        DOC_INFO_1W doc = {const_cast<LPWSTR>(L"Probe"), nullptr, const_cast<LPWSTR>(dataType)};
        SetLastError(0);
        DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&doc));
        if (!job) {
            Say(key, Answer(FALSE));
            continue;
        }
        bool whole = WritePrinter(printer, const_cast<char*>("probe"), 5, &written) && written == 5;
        Say(key, EndDocPrinter(printer) && whole ? "ok" : "not ended");
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: spooler_probe PRINTER\n");
        return 2;
    }
    std::wstring name = argv[1];
    ProbeOpens(name);
    ProbeListing(name);
    HANDLE printer = Open(name.c_str(), PRINTER_ALL_ACCESS);
    Say("open.administer", printer ? "ok" : Answer(FALSE));
    if (!printer)
        return 1;
    ProbeLevel2(printer);
    ProbeData(printer);
    ProbeJobs(printer);
    ClosePrinter(printer);
    fflush(stdout);
    return 0;
}
