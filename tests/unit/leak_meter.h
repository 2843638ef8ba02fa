// What a process holds, measured in ways that also work under Wine, where
// GetGuiResources, GetProcessHandleCount and PrivateUsage all report 0:
//  - GDI: the free places of the GDI handle table, found by making brushes
//    until the table is full (Wine's table holds about 65,000 objects, a
//    Windows process quota 10,000), then deleting them again;
//  - USER: the windows of this thread with all their children, and the
//    highest USER handle index that a batch of new windows gets (USER
//    handles are reused, so an object that is never destroyed pushes the
//    index of new ones upwards);
//  - kernel handles: the handle values among the first 16,384 that
//    GetHandleInformation accepts (a process here holds a few dozen);
//  - heap: the busy blocks of every heap of the process and their bytes (the
//    C runtime's heap, which new and malloc use, is one of them); the count
//    of blocks shows a small block lost per round long before its bytes do.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

struct ResourceCounts {
    int gdiFree = 0;        // GDI objects that could still be made
    DWORD gdiCounted = 0;   // GetGuiResources, where the system counts them
    DWORD userCounted = 0;
    int windows = 0;
    int userIndex = 0;      // highest USER handle index of a batch of new windows
    int handles = 0;
    size_t heapBlocks = 0;
    size_t heapBytes = 0;
};

inline int FreeGdiPlaces()
{
    std::vector<HBRUSH> brushes;
    brushes.reserve(70000);
    for (;;) {
        HBRUSH brush = CreateSolidBrush(RGB(brushes.size() & 0xFF, 0, 0));
        if (!brush)
            break;
        brushes.push_back(brush);
    }
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    return static_cast<int>(brushes.size());
}

inline BOOL CALLBACK CountWindow(HWND window, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, CountWindow, count);
    return TRUE;
}

inline int ThreadWindows()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

inline int NewUserIndex()
{
    constexpr int kBatch = 64;
    HWND windows[kBatch] = {};
    int highest = 0;
    for (HWND& window : windows) {
        window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        int index = static_cast<int>(reinterpret_cast<UINT_PTR>(window) & 0xFFFF);
        if (index > highest)
            highest = index;
    }
    for (HWND window : windows)
        DestroyWindow(window);
    return highest;
}

inline int OpenHandles()
{
    int count = 0;
    for (UINT_PTR value = 4; value < 4 * 16384; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    }
    return count;
}

inline void MeasureHeaps(ResourceCounts* counts)
{
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY entry = {};
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                ++counts->heapBlocks;
                counts->heapBytes += entry.cbData;
            }
        }
        HeapUnlock(heaps[i]);
    }
}

inline ResourceCounts MeasureResources()
{
    ResourceCounts counts;
    MeasureHeaps(&counts);
    counts.gdiFree = FreeGdiPlaces();
    counts.gdiCounted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    counts.userCounted = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    counts.windows = ThreadWindows();
    counts.userIndex = NewUserIndex();
    counts.handles = OpenHandles();
    return counts;
}

// Rounds of a repeated operation: the short run's, times MFPSM_LEAK_SCALE
// for a long run.
inline int LeakRounds(int shortRun)
{
    const char* value = std::getenv("MFPSM_LEAK_SCALE");
    int scale = value ? std::atoi(value) : 0;
    return scale > 0 ? shortRun * scale : shortRun;
}

inline std::string Describe(const ResourceCounts& c)
{
    char line[256];
    std::snprintf(line, sizeof(line),
                  "gdi free %d (counted %lu), user counted %lu, windows %d, user index %d, handles %d, "
                  "heap %zu blocks, %zu bytes",
                  c.gdiFree, c.gdiCounted, c.userCounted, c.windows, c.userIndex, c.handles, c.heapBlocks,
                  c.heapBytes);
    return line;
}
