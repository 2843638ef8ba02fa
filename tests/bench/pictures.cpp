// Measurements of the status dialog's pictures for tools/bench.d/70-pictures.sh:
// the three printer pictures drawn from their shapes at 288 DPI (300 %), and
// the same three pictures stretched from the 96-DPI resources to that size,
// as a dialog would show them without pictures of its own scale; medians of
// 15 runs, into a memory DC. One row "name | value | unit | target" each.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/gdi_guards.h"
#include "common/globals.h"
#include "display/status_draw.h"
#include "display/status_items.h"
#include "resources/resource.h"

namespace {

double Milliseconds()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename F> double MedianMs(F draw)
{
    std::vector<double> times;
    for (int i = 0; i < 15; ++i) {
        double start = Milliseconds();
        draw();
        times.push_back(Milliseconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int wmain()
{
    g_hInstance = GetModuleHandleW(nullptr);
    const int dpi = 288, size = SM_ScaleToDpi(kPictureSize, dpi);
    HDC screen = GetDC(nullptr);
    ScopedMemoryDC memory(screen);
    ScopedBitmap canvas(CreateCompatibleBitmap(screen, size, 2 * size));
    ReleaseDC(nullptr, screen);
    memory.Select(canvas.Get());
    HDC dc = memory.Get();
    double drawn = MedianMs([&] {
        SM_DrawPictureAtDpi(dc, 0, 0, dpi, kPictureUpper);
        SM_DrawPictureAtDpi(dc, 0, size, dpi, kPictureLower);
        SM_DrawPictureAtDpi(dc, 0, size, dpi, kPictureLowerDuplex);
    });
    double stretched = MedianMs([&] {
        SM_DrawImageSized(dc, 0, 0, size, IDB_UPPER, IDB_UPPER_MASK, SRCINVERT);
        SM_DrawImageSized(dc, 0, size, size, IDB_LOWER, IDB_LOWER_MASK, SRCINVERT);
        SM_DrawImageSized(dc, 0, size, size, IDB_LOWER_DUPLEX, IDB_LOWER_MASK, SRCINVERT);
    });
    printf("status pictures drawn from their shapes at 300 %% (3 pictures) | %.1f | ms | -\n", drawn);
    printf("the same stretched from the 96-DPI resources | %.1f | ms | -\n", stretched);
    printf("pictures drawn at 300 %% / stretched from the resources | %.1f | ratio | -\n", drawn / stretched);
    return 0;
}
