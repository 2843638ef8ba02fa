// A resident monitor's surroundings for one test: a status exchange file and
// a UI text file of its own, a seeded spooler stand-in, a hidden window in
// the monitor's place, and the process-wide values as a fresh start has them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/globals.h"
#include "display/status_dialog.h"
#include "testkit/spool.h"
#include "testkit/wine_test.h"

constexpr const wchar_t* kPrinter = L"Office MFP";
constexpr DWORD kJob = 7;
constexpr DWORD kNT = 0x100;  // an NT-family version code
constexpr DWORD k9x = 0x4;    // a 9x-family version code

class MonitorEnv {
public:
    explicit MonitorEnv(bool seedPrinter = true)
    {
        statusFile_ = dir_.File(L"StatusMonitorV3.ini");
        uiFile_ = dir_.File(L"smen.ini");
        const unsigned char mark[] = {0xFF, 0xFE};
        WriteAllBytes(statusFile_, mark, 2);
        InitProcessValues(statusFile_.c_str());
        wcsncpy(g_szUIFile, uiFile_.c_str(), kTextUnits - 1);
        OsVersionCode = kNT;
        for (int& code : g_PrevErrCodes)
            code = 0;
        g_LastMsgCounter = 0;
        g_szStoreName[0] = L'\0';
        g_LastSpoolerStatus = -1;
        g_SpoolerBusy = 0;
        g_MessageResetOwed = 0;
        g_SpoolerOwed = SpoolerOwed::None;
        for (WCHAR(&refused)[kTextUnits] : g_szStatusRefused)
            refused[0] = L'\0';
        g_UICodePage = 0;
        g_StatusItems = kStatusItemTable;
        if (seedPrinter) {
            SpoolPrinterSeed printer;
            printer.name = kPrinter;
            printer.jobs = {{kJob, L"Report.pdf"}, {9, L"Other.pdf"}};
            spool_.AddPrinter(printer);
            Write(L"PrinterName", kPrinter);
        }
        Write(L"JobID", std::to_wstring(kJob).c_str(), L"Job Information");
        g_StatusJobID = kJob;  // as if a tick had read it with a list
        g_ShownJobID = 0;
        g_hMonitorWnd = CreateWindowExW(0, L"STATIC", L"MFP Status Monitor", WS_POPUP, 0, 0, 0, 0,
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~MonitorEnv()
    {
        if (g_hStatusDlg)
            DestroyWindow(g_hStatusDlg);
        g_hStatusDlg = nullptr;
        if (g_hMonitorWnd && IsWindow(g_hMonitorWnd))
            DestroyWindow(g_hMonitorWnd);
        g_hMonitorWnd = nullptr;
    }
    MonitorEnv(const MonitorEnv&) = delete;
    MonitorEnv& operator=(const MonitorEnv&) = delete;

    void Write(const wchar_t* key, const wchar_t* value, const wchar_t* section = L"Printer Information")
    {
        WritePrivateProfileStringW(section, key, value, statusFile_.c_str());
    }
    std::wstring Read(const wchar_t* key, const wchar_t* section = L"Printer Information") const
    {
        wchar_t value[300] = L"";
        GetPrivateProfileStringW(section, key, L"<none>", value, 300, statusFile_.c_str());
        return value;
    }
    void WriteUI(const wchar_t* key, const wchar_t* value)
    {
        WritePrivateProfileStringW(L"string", key, value, uiFile_.c_str());
    }
    // A status as the driver side posts it: "Status", a new "LastMsg", 1027.
    void Post(const wchar_t* status)
    {
        Write(L"Status", status);
        Write(L"LastMsg", std::to_wstring(++lastMsg_).c_str());
        Write(L"Message", L"1027");
    }

    // Status words the monitor set, in order.
    std::vector<DWORD> StatusWords() const
    {
        std::vector<DWORD> words;
        for (const SpoolCall& call : spool_.Calls(L"SetPrinter"))
            words.push_back(call.status);
        return words;
    }
    // (job, command) of every job command that the stand-in took.
    std::vector<std::pair<DWORD, DWORD>> JobCommands() const
    {
        std::vector<std::pair<DWORD, DWORD>> commands;
        for (const SpoolCall& call : spool_.Calls(L"SetJob")) {
            if (call.ok)
                commands.push_back({call.job, call.command});
        }
        return commands;
    }
    bool JobQueued(DWORD id) const
    {
        for (const SpoolJobSeed& job : spool_.Jobs(kPrinter)) {
            if (job.id == id)
                return true;
        }
        return false;
    }

    SpoolSandbox& Spool() { return spool_; }
    const std::wstring& StatusFile() const { return statusFile_; }

private:
    ScratchDir dir_;
    std::wstring statusFile_;
    std::wstring uiFile_;
    SpoolSandbox spool_;
    int lastMsg_ = 0;
};
