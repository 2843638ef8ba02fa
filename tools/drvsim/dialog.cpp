// drvsim press / show-latency: what the user and the benchmark do with the
// running monitor from outside its process.
#include <algorithm>
#include <cstdio>

#include "monitor/monitor_window.h"
#include "monitor/status_file.h"
#include "resources/resource.h"
#include "tools/drvsim/drvsim.h"

namespace {

constexpr DWORD kWaitMs = 5000;
constexpr const wchar_t* kMonitorClass = L"mfpsm";

HWND VisibleDialog()
{
    HWND dialog = FindWindowW(L"#32770", kMonitorTitle);
    // The monitor window is shown last, once the dialog is filled.
    if (dialog && IsWindowVisible(dialog) && IsWindowVisible(FindWindowW(kMonitorClass, nullptr)))
        return dialog;
    return nullptr;
}

template <typename Done>
bool WaitFor(Done done, DWORD ms, DWORD pollMs = 10)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= ms)
            return false;
        Sleep(pollMs);
    }
    return true;
}

int Press(const std::vector<std::wstring>& args)
{
    int id = 0;
    if (args.size() == 1 && args[0] == L"delete")
        id = IDC_DELETE;
    else if (args.size() == 1 && args[0] == L"continue")
        id = IDC_CONTINUE;
    else
        return DrvsimFail(L"press takes delete or continue");
    HWND dialog = nullptr;
    if (!WaitFor([&] { return (dialog = VisibleDialog()) != nullptr; }, kWaitMs))
        return DrvsimFail(L"no status dialog is shown");
    HWND button = GetDlgItem(dialog, id);
    if (!IsWindowVisible(button))
        return DrvsimFail(L"the dialog shows no %ls button", args[0].c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    if (!WaitFor([&] { return !IsWindow(dialog); }, kWaitMs))
        return DrvsimFail(L"the dialog did not close");
    return 0;
}

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    size_t rank = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[rank];
}

// One round: the dialog is taken down with 1026, then a new status is posted
// and the time from the write of "Message" 1027 to the visible dialog taken.
bool MeasureOnce(const std::wstring& file, int round, double* ms)
{
    const wchar_t* sec = kSectionPrinter;
    WritePrivateProfileStringW(sec, kKeyMessage, L"1026", file.c_str());
    auto closed = [&] {
        return GetPrivateProfileIntW(sec, kKeyMessage, -1, file.c_str()) == 0 &&
               !FindWindowW(L"#32770", kMonitorTitle);
    };
    if (!WaitFor(closed, kWaitMs))
        return false;
    Sleep(static_cast<DWORD>(round * 37 % 250));  // spread the writes over the tick phase
    WritePrivateProfileStringW(sec, kKeyStatus, round % 2 ? L"33|5|" : L"35|", file.c_str());
    int last = static_cast<int>(GetPrivateProfileIntW(sec, kKeyLastMsg, 0, file.c_str()));
    WritePrivateProfileStringW(sec, kKeyLastMsg, std::to_wstring(last + 1 > 0 ? last + 1 : 1).c_str(), file.c_str());
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    WritePrivateProfileStringW(sec, kKeyMessage, L"1027", file.c_str());
    if (!WaitFor([] { return VisibleDialog() != nullptr; }, kWaitMs, 1))
        return false;
    QueryPerformanceCounter(&end);
    *ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    return true;
}

int ShowLatency(const std::vector<std::wstring>& args)
{
    long long rounds = 0;
    if (args.size() != 1 || !DrvsimParseInt(args[0], 2, 1000, &rounds))
        return DrvsimFail(L"show-latency takes a number of rounds (2 to 1000)");
    if (!FindWindowW(kMonitorClass, nullptr))
        return DrvsimFail(L"no resident monitor (window class mfpsm) is running");
    std::wstring file = DrvsimStatusFile();
    if (file.empty())
        return DrvsimFail(L"the folder of the status exchange file cannot be found");
    std::vector<double> samples;
    for (int i = 0; i < rounds; ++i) {
        double ms = 0;
        if (!MeasureOnce(file, i, &ms))
            return DrvsimFail(L"round %d: the monitor did not answer within %lu ms", i + 1, kWaitMs);
        samples.push_back(ms);
    }
    WritePrivateProfileStringW(kSectionPrinter, kKeyMessage, L"1026", file.c_str());
    wprintf(L"%.1f %.1f\n", Percentile(samples, 0.5), Percentile(samples, 0.95));
    return 0;
}

} // namespace

DRVSIM_COMMAND(press, L"press", L"delete|continue (presses a button of the status dialog, as the user)", Press);
DRVSIM_COMMAND(show_latency, L"show-latency", L"ROUNDS (prints median and 95th percentile ms from Message 1027 to the visible dialog)", ShowLatency);
