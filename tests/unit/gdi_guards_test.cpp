// The drawing code's scope guards give back what they took.
#include <gtest/gtest.h>

#include "display/gdi_guards.h"
#include "resources/resource.h"

namespace {

// A memory DC with a small bitmap and stock pen and brush selected.
class Canvas {
public:
    Canvas() : dc_(CreateCompatibleDC(nullptr)), bitmap_(CreateCompatibleBitmap(dc_, 8, 8))
    {
        oldBitmap_ = SelectObject(dc_, bitmap_);
        SelectObject(dc_, GetStockObject(BLACK_PEN));
        SelectObject(dc_, GetStockObject(WHITE_BRUSH));
    }
    ~Canvas()
    {
        SelectObject(dc_, oldBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ oldBitmap_;
};

} // namespace

TEST(GdiGuards, SolidToolsAreSelectedThenPutBackAndDeleted)
{
    Canvas canvas;
    HGDIOBJ pen = nullptr, brush = nullptr;
    {
        ScopedSolidTools blue(canvas.Get(), RGB(0, 0, 255));
        pen = GetCurrentObject(canvas.Get(), OBJ_PEN);
        brush = GetCurrentObject(canvas.Get(), OBJ_BRUSH);
        LOGPEN lp = {};
        ASSERT_EQ(GetObjectW(pen, sizeof(lp), &lp), static_cast<int>(sizeof(lp)));
        EXPECT_EQ(lp.lopnColor, RGB(0, 0, 255));
        EXPECT_EQ(lp.lopnWidth.x, 1);
        LOGBRUSH lb = {};
        ASSERT_NE(GetObjectW(brush, sizeof(lb), &lb), 0);
        EXPECT_EQ(lb.lbColor, RGB(0, 0, 255));
        EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
    }
    EXPECT_EQ(GetCurrentObject(canvas.Get(), OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(canvas.Get(), OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetObjectType(pen), 0u) << "the pen is deleted";
    EXPECT_EQ(GetObjectType(brush), 0u) << "the brush is deleted";
}

TEST(GdiGuards, MemoryDCGivesItsBitmapsBackBeforeItGoes)
{
    Canvas canvas;
    HBITMAP first = CreateCompatibleBitmap(canvas.Get(), 4, 4);
    HBITMAP second = CreateCompatibleBitmap(canvas.Get(), 4, 4);
    HDC dc = nullptr;
    {
        ScopedMemoryDC memory(canvas.Get());
        dc = memory.Get();
        ASSERT_NE(dc, nullptr);
        memory.Select(first);
        memory.Select(second);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), second);
    }
    EXPECT_EQ(GetObjectType(dc), 0u) << "the DC is deleted";
    EXPECT_TRUE(DeleteObject(first));
    EXPECT_TRUE(DeleteObject(second));
}

TEST(GdiGuards, ResourceBitmapIsLoadedAndDeleted)
{
    HBITMAP bitmap = nullptr;
    {
        ScopedResourceBitmap picture(GetModuleHandleW(nullptr), IDB_UPPER);
        bitmap = picture.Get();
        ASSERT_NE(bitmap, nullptr);
        BITMAP info = {};
        GetObjectW(bitmap, sizeof(info), &info);
        EXPECT_EQ(info.bmWidth, 170);
        EXPECT_EQ(info.bmHeight, 170);
    }
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    ScopedResourceBitmap missing(GetModuleHandleW(nullptr), 4242);
    EXPECT_EQ(missing.Get(), nullptr);
}

TEST(GdiGuards, WindowDCKeepsTheWindowItWasTakenFrom)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    HDC dc = nullptr;
    {
        ScopedWindowDC guard(window);
        dc = guard.Get();
        ASSERT_NE(dc, nullptr);
        EXPECT_EQ(WindowFromDC(dc), window);
    }
    EXPECT_EQ(WindowFromDC(dc), nullptr) << "released: the DC no longer belongs to the window";
    DestroyWindow(window);
}
