// A block of the process heap that is freed on every way out of a scope.
#pragma once

#include <windows.h>

class HeapBlock {
public:
    explicit HeapBlock(SIZE_T bytes) : p_(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes)) {}
    ~HeapBlock()
    {
        if (p_)
            HeapFree(GetProcessHeap(), 0, p_);
    }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;

    void* get() const { return p_; }
    template <typename T> T* as() const { return static_cast<T*>(p_); }

private:
    void* p_;
};
