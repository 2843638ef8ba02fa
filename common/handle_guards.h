// Scope guards for kernel and spooler handles, the companions of the GDI
// guards: each closes its handle on every way out and cannot be copied.
#pragma once

#include <windows.h>
#include <winspool.h>

// A file, mutex or other kernel handle. Both failure values of the kernel
// functions count as none (CreateFile gives INVALID_HANDLE_VALUE, most
// others null), so the guard may take either result as it comes.
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
    ~ScopedHandle()
    {
        if (Valid())
            CloseHandle(handle_);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

// An open printer; null when none was opened. OpenPrinter hands its handle
// back through a pointer, so the guard can also take it afterwards.
class ScopedPrinter {
public:
    ScopedPrinter() = default;
    explicit ScopedPrinter(HANDLE printer) : printer_(printer) {}
    ~ScopedPrinter()
    {
        if (printer_)
            ClosePrinter(printer_);
    }
    ScopedPrinter(const ScopedPrinter&) = delete;
    ScopedPrinter& operator=(const ScopedPrinter&) = delete;
    void Adopt(HANDLE printer) { printer_ = printer; }
    HANDLE Get() const { return printer_; }

private:
    HANDLE printer_ = nullptr;
};
