// Scope guards for GDI: each gives back what it took (a window DC, a memory
// DC, a font, pen or bitmap, a selection, the saved state of a DC) on every
// way out of the drawing code. They are used by the status dialog, the
// watermark and the fax page alike. None can be copied: a copy would give
// the same handle back twice.
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

// A memory DC compatible with another (null: with the screen). Bitmaps
// selected through Select are deselected (its first bitmap put back) before
// the DC is deleted, so their owners can delete them afterwards.
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

// Owns a font, pen, brush or bitmap and deletes it; null when its creation
// failed. It must be out of every DC by then: declare it before the
// ScopedSelect or ScopedSavedDC that puts the previous object back.
template <typename Handle> class ScopedGdiObject {
public:
    explicit ScopedGdiObject(Handle object) : object_(object) {}
    ~ScopedGdiObject()
    {
        if (object_)
            DeleteObject(object_);
    }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
    Handle Get() const { return object_; }

private:
    Handle object_;
};

using ScopedBitmap = ScopedGdiObject<HBITMAP>;
using ScopedFont = ScopedGdiObject<HFONT>;
using ScopedPen = ScopedGdiObject<HPEN>;

// Keeps an object selected into a DC until the guard goes or is released
// early (GetDIBits wants a bitmap out of every DC).
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~ScopedSelect() { Release(); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    void Release()
    {
        if (old_)
            SelectObject(dc_, old_);
        old_ = nullptr;
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// SaveDC / RestoreDC: every attribute and selection the guarded code changes
// is as before when the guard goes.
class ScopedSavedDC {
public:
    explicit ScopedSavedDC(HDC dc) : dc_(dc), id_(SaveDC(dc)) {}
    ~ScopedSavedDC()
    {
        if (id_)
            RestoreDC(dc_, id_);
    }
    ScopedSavedDC(const ScopedSavedDC&) = delete;
    ScopedSavedDC& operator=(const ScopedSavedDC&) = delete;

private:
    HDC dc_;
    int id_;
};

// A solid pen of width 1 and a solid brush of one colour, selected into a
// DC; the previous ones are selected again before these are deleted.
class ScopedSolidTools {
public:
    ScopedSolidTools(HDC dc, COLORREF colour)
        : pen_(CreatePen(PS_SOLID, 1, colour)), brush_(CreateSolidBrush(colour)), penSelected_(dc, pen_.Get()),
          brushSelected_(dc, brush_.Get())
    {
    }
    ScopedSolidTools(const ScopedSolidTools&) = delete;
    ScopedSolidTools& operator=(const ScopedSolidTools&) = delete;

private:
    // Members go in reverse order: both are deselected, then deleted.
    ScopedPen pen_;
    ScopedGdiObject<HBRUSH> brush_;
    ScopedSelect penSelected_;
    ScopedSelect brushSelected_;
};
