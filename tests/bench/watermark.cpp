// Measurements of the watermark job for tools/bench.d/40-watermark.sh.
//
//   bench_watermark halftone
//       the halftone pass over an A4 picture at 600 dpi against memcpy of the
//       same buffer: one row "name | value | unit | target" per figure.
//   bench_watermark job RUNS PROGRAM INI
//       starts "PROGRAM CreateTextBMP INI" RUNS times; prints the median time
//       in ms, and the largest peak private bytes and peak working set seen.
//   bench_watermark inside INI
//       runs the job of INI once in this process, as CreateTextBMP does, and
//       prints its time in ms: from reading the record to the closed BMP.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/globals.h"
#include "watermark/halftone.h"
#include "watermark/halftone_tables.h"
#include "watermark/wm_job.h"

namespace {

double Seconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int Halftone()
{
    const size_t stride = static_cast<size_t>(WM_Stride(4960)), height = 7016;
    std::vector<uint8_t> picture(stride * height), copy(stride * height);
    // Nothing white: every byte goes through the mask.
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<uint8_t>(i * 7 % 255);
    const HalftoneTable& table = WM_HalftoneTableFor(1);
    WM_DotMask mask;
    WM_BuildDotMask(table.data, table.size, table.size, 84, &mask);

    std::vector<double> pass, memcpyTimes;
    for (int i = 0; i < 15; ++i) {
        double start = Seconds();
        WM_HalftonePass(picture.data(), stride, height, mask, table.size, table.size);
        pass.push_back(Seconds() - start);
        start = Seconds();
        std::memcpy(copy.data(), picture.data(), picture.size());
        memcpyTimes.push_back(Seconds() - start);
        picture[i] ^= copy[picture.size() - 1 - i];  // keep both loops observable
    }
    const double mib = picture.size() / 1048576.0;
    const double passRate = mib / Median(pass), copyRate = mib / Median(memcpyTimes);
    printf("halftone pass, A4 600 dpi, no white bytes | %.0f | MiB/s | -\n", passRate);
    printf("memcpy of the same buffer | %.0f | MiB/s | -\n", copyRate);
    printf("halftone pass / memcpy throughput | %.2f | ratio | >= 0.25\n", passRate / copyRate);
    return 0;
}

int Job(int runs, const wchar_t* program, const wchar_t* ini)
{
    std::wstring commandLine = std::wstring(L"\"") + program + L"\" CreateTextBMP \"" + ini + L"\"";
    std::vector<double> times;
    PROCESS_MEMORY_COUNTERS peak{};
    for (int i = 0; i < runs; ++i) {
        std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
        line.push_back(L'\0');
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        double start = Seconds();
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            fprintf(stderr, "cannot start the program (error %lu)\n", GetLastError());
            return 2;
        }
        // Wine forgets the counters of an ended process, so they are
        // sampled while it runs; the peak values only ever grow.
        do {
            PROCESS_MEMORY_COUNTERS counters{};
            counters.cb = sizeof(counters);
            if (GetProcessMemoryInfo(pi.hProcess, &counters, sizeof(counters))) {
                peak.PeakPagefileUsage = std::max(peak.PeakPagefileUsage, counters.PeakPagefileUsage);
                peak.PeakWorkingSetSize = std::max(peak.PeakWorkingSetSize, counters.PeakWorkingSetSize);
            }
        } while (WaitForSingleObject(pi.hProcess, 1) == WAIT_TIMEOUT);
        times.push_back(Seconds() - start);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    // Machine-readable for the bench script: milliseconds, then bytes.
    printf("%.0f %llu %llu\n", Median(times) * 1000, static_cast<unsigned long long>(peak.PeakPagefileUsage),
           static_cast<unsigned long long>(peak.PeakWorkingSetSize));
    return 0;
}

// The first job of a fresh process, like the program's one job: Wine's font
// set-up is part of it.
int Inside(const wchar_t* ini)
{
    g_hInstance = GetModuleHandleW(nullptr);
    const double start = Seconds();
    const int result = SM_CreateTextBMPUsingIni_New(ini);
    const double elapsed = Seconds() - start;
    if (result != 1) {
        fprintf(stderr, "the job gave %d\n", result);
        return 1;
    }
    printf("%.1f\n", elapsed * 1000);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && wcscmp(argv[1], L"halftone") == 0)
        return Halftone();
    if (argc == 5 && wcscmp(argv[1], L"job") == 0)
        return Job(_wtoi(argv[2]), argv[3], argv[4]);
    if (argc == 3 && wcscmp(argv[1], L"inside") == 0)
        return Inside(argv[2]);
    fprintf(stderr, "usage: bench_watermark halftone | job RUNS PROGRAM INI | inside INI\n");
    return 2;
}
