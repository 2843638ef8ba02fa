// The drawing code's scope guards give back what they took.
#include <gtest/gtest.h>

#include <type_traits>

#include "common/gdi_guards.h"
#include "resources/resource.h"

namespace {

// A copy would give the same handle back twice.
template <typename Guard> constexpr bool kNotCopyable =
    !std::is_copy_constructible_v<Guard> && !std::is_copy_assignable_v<Guard>;
static_assert(kNotCopyable<ScopedWindowDC>);
static_assert(kNotCopyable<ScopedMemoryDC>);
static_assert(kNotCopyable<ScopedBitmap>);
static_assert(kNotCopyable<ScopedFont>);
static_assert(kNotCopyable<ScopedPen>);
static_assert(kNotCopyable<ScopedSelect>);
static_assert(kNotCopyable<ScopedSavedDC>);
static_assert(kNotCopyable<ScopedSolidTools>);

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
        ScopedBitmap picture(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_UPPER)));
        bitmap = picture.Get();
        ASSERT_NE(bitmap, nullptr);
        BITMAP info = {};
        GetObjectW(bitmap, sizeof(info), &info);
        EXPECT_EQ(info.bmWidth, 170);
        EXPECT_EQ(info.bmHeight, 170);
    }
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    ScopedBitmap missing(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(4242)));
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

TEST(GdiGuards, ObjectsAreDeletedAndNullIsLeftAlone)
{
    HFONT font = CreateFontW(20, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
    ASSERT_TRUE(font && pen);
    {
        ScopedFont ownedFont(font);
        ScopedPen ownedPen(pen);
        EXPECT_EQ(ownedFont.Get(), font);
        EXPECT_EQ(ownedPen.Get(), pen);
        EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
        ScopedBitmap none(nullptr);
        EXPECT_EQ(none.Get(), nullptr);
    }
    EXPECT_EQ(GetObjectType(font), 0u) << "the font is deleted";
    EXPECT_EQ(GetObjectType(pen), 0u) << "the pen is deleted";
}

TEST(GdiGuards, SelectPutsThePreviousObjectBackOnceEarlyOrAtTheEnd)
{
    Canvas canvas;
    HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HPEN green = CreatePen(PS_SOLID, 1, RGB(0, 255, 0));
    {
        ScopedSelect selected(canvas.Get(), red);
        EXPECT_EQ(GetCurrentObject(canvas.Get(), OBJ_PEN), red);
    }
    EXPECT_EQ(GetCurrentObject(canvas.Get(), OBJ_PEN), GetStockObject(BLACK_PEN));
    {
        ScopedSelect selected(canvas.Get(), red);
        selected.Release();
        EXPECT_EQ(GetCurrentObject(canvas.Get(), OBJ_PEN), GetStockObject(BLACK_PEN));
        SelectObject(canvas.Get(), green);
    }
    EXPECT_EQ(GetCurrentObject(canvas.Get(), OBJ_PEN), green) << "a released guard selects nothing more";
    SelectObject(canvas.Get(), GetStockObject(BLACK_PEN));
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_TRUE(DeleteObject(green));
}

TEST(GdiGuards, SavedDCPutsEveryChangedAttributeBack)
{
    Canvas canvas;
    HDC dc = canvas.Get();
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkMode(dc, OPAQUE);
    SetTextAlign(dc, TA_BASELINE | TA_CENTER);
    HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    ScopedFont other(CreateFontW(30, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial"));
    {
        ScopedSavedDC saved(dc);
        SelectObject(dc, other.Get());
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        SetTextAlign(dc, TA_LEFT | TA_TOP);
        SetViewportOrgEx(dc, 5, 7, nullptr);
    }
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetTextAlign(dc), static_cast<UINT>(TA_BASELINE | TA_CENTER));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    POINT origin = {-1, -1};
    GetViewportOrgEx(dc, &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
}
