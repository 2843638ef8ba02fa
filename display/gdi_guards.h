// Scope guards of the status dialog's drawing: each gives back what it took
// (a window DC, selected pens and brushes, a memory DC's first bitmap, a
// loaded bitmap) on every way out of the drawing code.
#pragma once

#include <windows.h>

// GetDC / ReleaseDC of one window.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedWindowDC()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A solid pen of width 1 and a solid brush of one colour, selected into a
// DC; the previous ones are selected again before these are deleted.
class ScopedSolidTools {
public:
    ScopedSolidTools(HDC dc, COLORREF colour)
        : dc_(dc), pen_(CreatePen(PS_SOLID, 1, colour)), brush_(CreateSolidBrush(colour))
    {
        oldPen_ = SelectObject(dc_, pen_);
        oldBrush_ = SelectObject(dc_, brush_);
    }
    ~ScopedSolidTools()
    {
        SelectObject(dc_, oldPen_);
        SelectObject(dc_, oldBrush_);
        DeleteObject(pen_);
        DeleteObject(brush_);
    }
    ScopedSolidTools(const ScopedSolidTools&) = delete;
    ScopedSolidTools& operator=(const ScopedSolidTools&) = delete;

private:
    HDC dc_;
    HPEN pen_;
    HBRUSH brush_;
    HGDIOBJ oldPen_;
    HGDIOBJ oldBrush_;
};

// A memory DC compatible with another; bitmaps selected into it are
// deselected (its first bitmap put back) before the DC is deleted, so the
// caller can delete them afterwards.
class ScopedMemoryDC {
public:
    explicit ScopedMemoryDC(HDC dc) : dc_(CreateCompatibleDC(dc)) {}
    ~ScopedMemoryDC()
    {
        if (!dc_)
            return;
        if (original_)
            SelectObject(dc_, original_);
        DeleteDC(dc_);
    }
    ScopedMemoryDC(const ScopedMemoryDC&) = delete;
    ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;
    HDC Get() const { return dc_; }
    void Select(HBITMAP bitmap)
    {
        HGDIOBJ old = SelectObject(dc_, bitmap);
        if (!original_)
            original_ = old;
    }

private:
    HDC dc_;
    HGDIOBJ original_ = nullptr;
};

// A bitmap of the program's resources; null when it is not there.
class ScopedResourceBitmap {
public:
    ScopedResourceBitmap(HINSTANCE instance, int id) : bitmap_(LoadBitmapW(instance, MAKEINTRESOURCEW(id))) {}
    ~ScopedResourceBitmap()
    {
        if (bitmap_)
            DeleteObject(bitmap_);
    }
    ScopedResourceBitmap(const ScopedResourceBitmap&) = delete;
    ScopedResourceBitmap& operator=(const ScopedResourceBitmap&) = delete;
    HBITMAP Get() const { return bitmap_; }

private:
    HBITMAP bitmap_;
};
