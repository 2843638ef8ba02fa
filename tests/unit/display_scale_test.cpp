// The status dialog and the prompts at the display scaling of the Wine prefix
// the test runs in (LogPixels 96 to 288; tests/unit/CMakeLists.txt runs it
// once in each): pictures drawn for the scale, frames, lines and dots at
// scale, the logo
// and the buttons whole and never drawn over, texts unclipped, and nothing of
// earlier items left on the dialog after a refresh, a repaint or an uncover.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/work_area.h"
#include "display/message_table.h"
#include "display/message_text.h"
#include "display/picture_shapes.h"
#include "display/status_draw.h"
#include "display/status_items.h"
#include "display/window_dpi.h"
#include "leak_meter.h"
#include "monitor_env.h"
#include "prompts/accounting_dialog.h"
#include "prompts/secure_dialog.h"
#include "resources/resource.h"

namespace {

int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int Show(const std::vector<int>& codes)
{
    int list[kMaxErrCodes] = {};
    int count = 0;
    for (int code : codes)
        list[count++] = code;
    return SM_ShowPrinterStatus(g_hMonitorWnd, list, count);
}

RECT ClientRectOf(HWND dialog, HWND control)
{
    RECT r = {};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT SlotRect(int id)
{
    return ClientRectOf(g_hStatusDlg, GetDlgItem(g_hStatusDlg, id));
}

PictureLayout Layout()
{
    RECT client = {};
    GetClientRect(g_hStatusDlg, &client);
    return SM_PictureLayout(client.right, client.bottom, g_StatusDlgDpi);
}

// Pixels of a rectangle of a window's client area (0x00RRGGBB, rows from the
// top), read in one go.
class Pixels {
public:
    Pixels(HWND window, const RECT& r) : width_(r.right - r.left), height_(r.bottom - r.top)
    {
        HDC dc = GetDC(window);
        Copy(dc, r.left, r.top);
        ReleaseDC(window, dc);
    }
    Pixels(HDC dc, const RECT& r) : width_(r.right - r.left), height_(r.bottom - r.top) { Copy(dc, r.left, r.top); }
    uint32_t At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x] & 0xFFFFFF; }
    void Clear(int x, int y) { pixels_[static_cast<size_t>(y) * width_ + x] = 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool operator==(const Pixels& other) const { return pixels_ == other.pixels_; }

private:
    void Copy(HDC dc, int x, int y)
    {
        pixels_.assign(static_cast<size_t>(width_) * height_, 0);
        BITMAPINFO info = TopDownRgb32(width_, height_);
        void* bits = nullptr;
        HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, width_, height_, dc, x, y, SRCCOPY);
        GdiFlush();
        memcpy(pixels_.data(), bits, pixels_.size() * sizeof(uint32_t));
        SelectObject(memory, old);
        DeleteDC(memory);
        DeleteObject(dib);
    }

    int width_;
    int height_;
    std::vector<uint32_t> pixels_;
};

constexpr uint32_t kBlue = 0x0000FF;

// The test prefix's display is 1024 x 768 pixels, and pixels off it cannot
// be read back. At 192 DPI the dialog is larger than that, so checks of its
// pixels run with the dialog at each corner of the screen in turn.
bool OnScreen(int x, int y)
{
    POINT p = {x, y};
    ClientToScreen(g_hStatusDlg, &p);
    return p.x >= 0 && p.y >= 0 && p.x < GetSystemMetrics(SM_CXSCREEN) && p.y < GetSystemMetrics(SM_CYSCREEN);
}

std::vector<POINT> DialogPlaces()
{
    RECT r = {};
    GetWindowRect(g_hStatusDlg, &r);
    std::vector<int> xs = {0}, ys = {0};
    if (r.right - r.left > GetSystemMetrics(SM_CXSCREEN))
        xs.push_back(GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left));
    if (r.bottom - r.top > GetSystemMetrics(SM_CYSCREEN))
        ys.push_back(GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top));
    std::vector<POINT> places;
    for (int y : ys)
        for (int x : xs)
            places.push_back({x, y});
    return places;
}

void MoveDialogTo(POINT place)
{
    SetWindowPos(g_hStatusDlg, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(g_hStatusDlg);
    PumpMessages(50);
}

// The client area's pixels; those off the screen read as 0.
class DialogPixels : public Pixels {
public:
    DialogPixels() : Pixels(g_hStatusDlg, ClientArea())
    {
        ClientToScreen(g_hStatusDlg, &origin_);
        for (int y = 0; y < Height(); ++y) {
            for (int x = 0; x < Width(); ++x) {
                if (!Visible(x, y))
                    Clear(x, y);
            }
        }
    }
    // Whether the client pixel (x, y) was on the screen, as OnScreen, but
    // without asking the window where it is.
    bool Visible(int x, int y) const
    {
        const int sx = origin_.x + x, sy = origin_.y + y;
        return x >= 0 && y >= 0 && x < Width() && y < Height() && sx >= 0 && sy >= 0 && sx < screenW_ &&
               sy < screenH_;
    }

private:
    static RECT ClientArea()
    {
        RECT client = {};
        GetClientRect(g_hStatusDlg, &client);
        return client;
    }

    POINT origin_ = {0, 0};
    int screenW_ = GetSystemMetrics(SM_CXSCREEN);
    int screenH_ = GetSystemMetrics(SM_CYSCREEN);
};

// Points where a and b differ in being blue, at most a few of them.
std::vector<POINT> BlueDifferences(const Pixels& a, const Pixels& b)
{
    std::vector<POINT> found;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            if ((a.At(x, y) == kBlue) != (b.At(x, y) == kBlue) && found.size() < 8)
                found.push_back({x, y});
        }
    }
    return found;
}

int CountBlue(const Pixels& p)
{
    int n = 0;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            n += p.At(x, y) == kBlue;
    return n;
}

std::string Describe(const std::vector<POINT>& points)
{
    std::string text;
    for (const POINT& p : points)
        text += "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ") ";
    return text;
}

// Whether a text slot lies over the point. Wine's dialog manager leaves the
// controls where they were when a test sends WM_DPICHANGED, so after a
// change to a smaller scale the slots can cover a part of the pictures.
bool UnderSlot(int x, int y)
{
    for (int id = IDC_SLOT_FIRST; id <= IDC_SLOT_LAST; ++id) {
        RECT r = SlotRect(id);
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return true;
    }
    return false;
}

void ExpectBlue(const Pixels& shot, int x, int y, const std::string& what, bool skipUnderSlots = false)
{
    if (OnScreen(x, y) && !(skipUnderSlots && UnderSlot(x, y))) {
        EXPECT_EQ(shot.At(x, y), kBlue) << what << " at (" << x << "," << y << ")";
    }
}

// Every shown item's frame (all four sides, the frame's full width) and,
// for an item with a dot, its dot centre and where its line meets the picture.
void ExpectItemsDrawn(const Pixels& shot, bool skipUnderSlots = false)
{
    int indices[kMaxShownItems] = {};
    int n = SM_SortXYCoordinate(g_StatusItems, indices);
    int m = SM_LeftColumnCount(n);
    PictureLayout layout = Layout();
    for (int i = 0; i < n; ++i) {
        const StatusItem& item = g_StatusItems[indices[i]];
        bool left = i < m;
        RECT s = SlotRect(left ? IDC_SLOT_FIRST + i : IDC_SLOT_FIRST + 6 + (i - m));
        int midX = (s.left + s.right) / 2, midY = (s.top + s.bottom) / 2;
        const std::string code = std::to_string(item.code);
        for (int k = 1; k <= layout.framePad; ++k) {
            ExpectBlue(shot, s.left - k, midY, "left of the frame of " + code);
            ExpectBlue(shot, s.right + k - 1, midY, "right of the frame of " + code);
            ExpectBlue(shot, midX, s.top - k, "top of the frame of " + code);
            ExpectBlue(shot, midX, s.bottom + k - 1, "bottom of the frame of " + code);
        }
        if (!SM_HasDot(item))
            continue;
        ItemMarks marks = SM_ItemMarks(item, layout, left);
        ExpectBlue(shot, marks.lineEndX, marks.lineY, "dot of " + code, skipUnderSlots);
        ExpectBlue(shot, marks.dotX + 1, marks.lineY, "left of the dot of " + code, skipUnderSlots);
        ExpectBlue(shot, marks.dotX + layout.dotSize - 2, marks.lineY, "right of the dot of " + code, skipUnderSlots);
        ExpectBlue(shot, marks.edgeX, marks.lineY, "line of " + code + " at the picture edge", skipUnderSlots);
    }
}

// A window over the whole dialog, painted white, then taken away again.
void CoverAndUncover()
{
    RECT r = {};
    GetWindowRect(g_hStatusDlg, &r);
    HWND cover = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | SS_WHITERECT, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr),
                                 nullptr);
    ShowWindow(cover, SW_SHOWNOACTIVATE);
    UpdateWindow(cover);
    PumpMessages(100);
    DestroyWindow(cover);
    PumpMessages(300);
}

// Shows each list in turn in one dialog, then checks that its blue pixels
// are exactly those of a fresh dialog showing only the last list: after the
// refresh, after a full repaint and after being covered and uncovered.
void ExpectRefreshLeavesNothingOfEarlierItems(const std::vector<std::vector<int>>& lists, size_t place)
{
    MonitorEnv env;
    ASSERT_EQ(Show(lists.front()), 1);
    std::vector<POINT> places = DialogPlaces();
    if (place >= places.size())
        return;
    SCOPED_TRACE("dialog at " + Describe({places[place]}));
    MoveDialogTo(places[place]);
    for (size_t i = 1; i < lists.size(); ++i)
        ASSERT_EQ(Show(lists[i]), 1);
    PumpMessages(50);
    Pixels refreshed = DialogPixels();
    RedrawWindow(g_hStatusDlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pixels repainted = DialogPixels();
    CoverAndUncover();
    Pixels uncovered = DialogPixels();

    DestroyWindow(g_hStatusDlg);
    g_hStatusDlg = nullptr;
    SM_ForgetShownList();
    ASSERT_EQ(Show(lists.back()), 1);
    MoveDialogTo(places[place]);
    Pixels fresh = DialogPixels();
    ExpectItemsDrawn(fresh);
    if (place == 0) {
        EXPECT_GT(CountBlue(fresh), 0);
    }
    EXPECT_EQ(Describe(BlueDifferences(refreshed, fresh)), "") << "after the refresh";
    EXPECT_EQ(Describe(BlueDifferences(repainted, fresh)), "") << "after a full repaint";
    EXPECT_EQ(Describe(BlueDifferences(uncovered, fresh)), "") << "after cover and uncover";
}

const std::vector<int> kTwelveItems = {35, 5, 2, 6, 80, 135, 257, 260, 261, 265, 268, 278, 279};

// Whether the shown pixels at (left, top) are the picture drawn at the DPI,
// with one colour of background wherever it is clear; pixels off the screen
// are not compared. The first few differing pixels, or "".
std::string PictureDifferences(const DialogPixels& shown, int left, int top, const PictureCanvas& picture)
{
    std::vector<POINT> found;
    bool backgroundSeen = false;
    uint32_t background = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (!shown.Visible(left + x, top + y))
                continue;
            const uint32_t at = shown.At(left + x, top + y);
            const uint8_t index = picture.pixels[static_cast<size_t>(y) * picture.width + x];
            if (index == kColourClear && !backgroundSeen) {
                background = at;
                backgroundSeen = true;
            }
            const uint32_t want = index == kColourClear ? background : kPicturePalette[index];
            if (at != want && found.size() < 8)
                found.push_back({x, y});
        }
    }
    return Describe(found);
}

HWND LogoControl(HWND dialog)
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
            return child;
    }
    return nullptr;
}

} // namespace

TEST(DisplayScale, ProgramIsPerMonitorAwareAndDrawsAtItsDisplaysDpi)
{
    using Context = HANDLE;
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    auto threadContext = reinterpret_cast<Context(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    auto awarenessOf = reinterpret_cast<int(WINAPI*)(Context)>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    ASSERT_NE(threadContext, nullptr);
    ASSERT_NE(awarenessOf, nullptr);
    EXPECT_EQ(awarenessOf(threadContext()), 2) << "per-monitor aware, from the manifest";

    MonitorEnv env;
    ASSERT_EQ(Show({33}), 1);
    EXPECT_EQ(g_StatusDlgDpi, ScreenDpi());
    EXPECT_EQ(SM_WindowDpi(g_hStatusDlg), ScreenDpi());
    std::printf("display at %d DPI\n", ScreenDpi());
}

namespace {

// The text between <name ...> and </name> in the program's manifest.
std::string ManifestValue(const std::string& manifest, const std::string& name)
{
    size_t start = manifest.find('>', manifest.find("<" + name + " "));
    size_t end = manifest.find("</" + name + ">");
    return start < end && end != std::string::npos ? manifest.substr(start + 1, end - start - 1) : "?";
}

} // namespace

TEST(DisplayScale, ManifestGivesPerMonitorV2WhereThereIsItAndSystemAwarenessElsewhere)
{
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24) /* RT_MANIFEST */);
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(nullptr, found))),
                               SizeofResource(nullptr, found));
    // Windows 7 SP1 to 10 1511 read dpiAware only: "true" is system awareness
    // ("true/pm" and "per monitor" would be per-monitor version 1 on 8.1).
    EXPECT_EQ(ManifestValue(manifest, "dpiAware"), "true");
    // 1607 on reads dpiAwareness instead, taking the first value it knows:
    // 1607 does not know PerMonitorV2, so the next must be System, not PerMonitor.
    EXPECT_EQ(ManifestValue(manifest, "dpiAwareness"), "PerMonitorV2, System");
}

// What the dialog shows is the pictures drawn for its DPI, pixel for pixel:
// not a picture of another scale stretched.
TEST(StatusAtScale, PicturesAndLogoAreTheShapesDrawnAtTheScale)
{
    MonitorEnv env;
    ASSERT_EQ(Show({33}), 1);  // no dot or line over the pictures
    const int dpi = ScreenDpi();
    for (POINT place : DialogPlaces()) {
        MoveDialogTo(place);
        SCOPED_TRACE("dialog at " + Describe({place}));
        DialogPixels shown;
        PictureLayout layout = Layout();
        EXPECT_EQ(PictureDifferences(shown, layout.pictureX, layout.upperY, SM_DrawPicture(kPictureUpper, dpi)), "")
            << "the upper picture";
        EXPECT_EQ(PictureDifferences(shown, layout.pictureX, layout.lowerY, SM_DrawPicture(kPictureLower, dpi)), "")
            << "the lower picture";
        RECT logo = ClientRectOf(g_hStatusDlg, LogoControl(g_hStatusDlg));
        EXPECT_EQ(PictureDifferences(shown, logo.left, logo.top, SM_DrawPicture(kPictureLogo, dpi)), "")
            << "the logo";
    }
}

namespace {

constexpr uint32_t kOutline = 0x343840;

// A long straight outline, crossed at each pixel along it from outside the
// printer inwards; the first run of outline colour met is its width there.
struct OutlineWalk {
    const char* what;
    bool upper;     // on the upper picture, else on the lower one
    bool vertical;  // crossed along rows, going right; else along columns, going up
    int start;      // where each crossing starts, outside the printer (96-DPI pixels)
    int from;       // the part of the outline crossed (96-DPI pixels)
    int to;
};

// The left sides of the front and rear views, between the seams of their
// parts, and the foot of the front view's second tray between its feet.
const OutlineWalk kOutlines[] = {
    {"front view, left side of the engine", true, true, 30, 38, 110},
    {"front view, left side of the second tray", true, true, 30, 136, 155},
    {"rear view, left side of the engine", false, true, 14, 34, 106},
    {"rear view, left side of the cassette level", false, true, 14, 110, 144},
    {"front view, foot of the second tray", true, false, 169, 54, 118},
};

} // namespace

// Outlines keep the width of the scale's pen along their whole length, with
// no row or column a pixel wider or narrower than the rest.
TEST(StatusAtScale, LongOutlinesKeepOneWidth)
{
    MonitorEnv env;
    ASSERT_EQ(Show({33}), 1);
    const int dpi = ScreenDpi(), pen = std::max(1, SM_ScaleToDpi(1, dpi));
    for (const OutlineWalk& w : kOutlines) {
        SCOPED_TRACE(w.what);
        const int first = SM_ScaleToDpi(w.from, dpi), last = SM_ScaleToDpi(w.to, dpi);
        const int stepX = w.vertical ? 1 : 0, stepY = w.vertical ? 0 : -1;
        std::vector<int> widths(last - first, -1);
        for (POINT place : DialogPlaces()) {
            MoveDialogTo(place);
            DialogPixels shown;
            PictureLayout layout = Layout();
            const int left = layout.pictureX, top = w.upper ? layout.upperY : layout.lowerY;
            const int start = SM_ScaleToDpi(w.start, dpi);
            for (int i = first; i < last; ++i) {
                int x = left + (w.vertical ? start : i), y = top + (w.vertical ? i : start);
                if (!shown.Visible(x, y))
                    continue;
                while (shown.Visible(x, y) && shown.At(x, y) != kOutline) {
                    x += stepX;
                    y += stepY;
                }
                int run = 0;
                for (; shown.Visible(x, y) && shown.At(x, y) == kOutline; x += stepX, y += stepY)
                    ++run;
                if (shown.Visible(x, y))  // the whole crossing was on the screen
                    widths[i - first] = run;
            }
        }
        int wrong = 0, firstWrong = 0;
        for (int i = last - 1; i >= first; --i) {
            if (widths[i - first] != pen) {
                ++wrong;
                firstWrong = i;
            }
        }
        EXPECT_EQ(wrong, 0) << "of " << last - first << " crossings, the first at " << firstWrong << ", "
                            << widths[firstWrong - first] << " pixels wide (-1: never on the screen)";
    }
}

TEST(StatusAtScale, EveryDotLineAndFrameAtScale)
{
    MonitorEnv env;
    ASSERT_EQ(Show({33}), 1);
    for (POINT place : DialogPlaces()) {
        MoveDialogTo(place);
        int dots = 0;
        for (const StatusItem& item : kStatusItemTable) {
            if (!SM_HasDot(item))
                continue;
            ++dots;
            SCOPED_TRACE(item.code);
            ASSERT_EQ(Show({item.code}), 1);
            ExpectItemsDrawn(DialogPixels());
        }
        EXPECT_EQ(dots, 24);
    }
}

TEST(StatusAtScale, LogoAndButtonsAreWholeAndNeverDrawnOver)
{
    MonitorEnv env;
    ASSERT_EQ(Show({35, 5}), 1);
    ASSERT_EQ(Show(kTwelveItems), 1);
    HWND dialog = g_hStatusDlg;
    RECT client = {};
    GetClientRect(dialog, &client);

    HWND logo = LogoControl(dialog);
    ASSERT_NE(logo, nullptr);
    RECT logoRect = ClientRectOf(dialog, logo);
    EXPECT_EQ(logoRect.right - logoRect.left, SM_ScaleToDpi(80, ScreenDpi())) << "the logo drawn for this scale";
    EXPECT_EQ(logoRect.bottom - logoRect.top, SM_ScaleToDpi(20, ScreenDpi()));

    HWND continueButton = GetDlgItem(dialog, IDC_CONTINUE);
    HWND deleteButton = GetDlgItem(dialog, IDC_DELETE);
    ASSERT_TRUE(IsWindowVisible(continueButton));
    for (HWND control : {logo, continueButton, deleteButton}) {
        RECT r = ClientRectOf(dialog, control);
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
            << "wholly inside the client area";
        for (POINT place : DialogPlaces()) {
            MoveDialogTo(place);
            if (OnScreen(r.left, r.top) && OnScreen(r.right - 1, r.bottom - 1))
                break;
        }
        ASSERT_TRUE(OnScreen(r.left, r.top) && OnScreen(r.right - 1, r.bottom - 1));
        Pixels drawn(dialog, r);
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        Pixels own(dialog, r);
        EXPECT_TRUE(drawn == own) << "nothing drawn over control " << GetDlgCtrlID(control);
        EXPECT_EQ(CountBlue(own), 0);
    }
}

TEST(StatusAtScale, EveryBuiltInTextFitsItsSlot)
{
    MonitorEnv env;
    ASSERT_EQ(Show({33}), 1);
    HWND slot = GetDlgItem(g_hStatusDlg, IDC_SLOT_FIRST);
    RECT room = {};
    GetClientRect(slot, &room);
    HDC dc = GetDC(slot);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(slot, WM_GETFONT, 0, 0)));
    for (const StatusItem& item : kStatusItemTable) {
        WCHAR text[kMessageUnits] = L"";
        SM_GetErrorText(item.code, text, kMessageUnits);
        RECT need = {0, 0, room.right, 0};
        DrawTextW(dc, text, -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        EXPECT_LE(need.right, room.right) << "code " << item.code;
        EXPECT_LE(need.bottom, room.bottom) << "code " << item.code << " needs more lines than the slot has";
    }
    SelectObject(dc, oldFont);
    ReleaseDC(slot, dc);
}

TEST(StatusAtScale, RefreshToFewerItemsLeavesNothingOfTheOthers)
{
    for (size_t place = 0; place < 4; ++place)
        ExpectRefreshLeavesNothingOfEarlierItems({kTwelveItems, {33, 5}, {33}}, place);
}

TEST(StatusAtScale, RefreshFromOneColumnToTheOther)
{
    // One item sits in the left column, its line running right; of two
    // items without dots the second takes the right column.
    for (size_t place = 0; place < 4; ++place)
        ExpectRefreshLeavesNothingOfEarlierItems({{264}, {33, 34}, {6}}, place);
}

TEST(StatusAtScale, RefreshFromDotsOnTheLowerPictureToNoDots)
{
    for (size_t place = 0; place < 4; ++place)
        ExpectRefreshLeavesNothingOfEarlierItems({{257, 262, 263, 264, 265, 266}, {33, 35}}, place);
}

namespace {

// Size changes of a window, counted as its WM_WINDOWPOSCHANGED messages
// that carry a new size, while the test's thread sends it messages.
HWND g_SizedWindow = nullptr;
int g_Sizings = 0;

LRESULT CALLBACK CountSizings(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->hwnd == g_SizedWindow && sent->message == WM_WINDOWPOSCHANGED &&
        !(reinterpret_cast<const WINDOWPOS*>(sent->lParam)->flags & SWP_NOSIZE))
        ++g_Sizings;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Where the template puts the logo (10, 204 dialog units) in the dialog's
// font made for the DPI.
POINT LogoPlaceAt(int dpi)
{
    SIZE base = SM_DialogBaseUnits(L"Courier New", 10, dpi);
    return {MulDiv(10, base.cx, 4), MulDiv(204, base.cy, 8)};
}

} // namespace

TEST(StatusAtScale, DpiChangeMovesRedrawsAndTakesThePicturesOfTheNewScale)
{
    MonitorEnv env;
    ASSERT_EQ(Show({5}), 1);
    const int own = g_StatusDlgDpi;
    const int other = own >= 144 ? 96 : 192;
    RECT before = {};
    GetWindowRect(g_hStatusDlg, &before);
    RECT suggested = {before.left + 10, before.top + 20,
                      before.left + 10 + MulDiv(before.right - before.left, other, own),
                      before.top + 20 + MulDiv(before.bottom - before.top, other, own)};
    g_SizedWindow = g_hStatusDlg;
    g_Sizings = 0;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, CountSizings, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    SendMessageW(g_hStatusDlg, WM_DPICHANGED, MAKEWPARAM(other, other), reinterpret_cast<LPARAM>(&suggested));
    UpdateWindow(g_hStatusDlg);
    PumpMessages(50);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(g_Sizings, 1) << "the window is sized once";

    RECT after = {};
    GetWindowRect(g_hStatusDlg, &after);
    EXPECT_TRUE(EqualRect(&after, &suggested)) << after.left << "," << after.top << " " << after.right << ","
                                               << after.bottom;
    EXPECT_EQ(g_StatusDlgDpi, other);
    RECT logoRect = ClientRectOf(g_hStatusDlg, LogoControl(g_hStatusDlg));
    EXPECT_EQ(logoRect.right - logoRect.left, SM_ScaleToDpi(80, other));
    EXPECT_EQ(logoRect.bottom - logoRect.top, SM_ScaleToDpi(20, other));
    POINT logoPlace = LogoPlaceAt(other);
    EXPECT_EQ(logoRect.left, logoPlace.x) << "the logo at its place in the layout of the new DPI";
    EXPECT_EQ(logoRect.top, logoPlace.y);
    PictureLayout layout = Layout();
    EXPECT_EQ(layout.pictureSize, SM_ScaleToDpi(kPictureSize, other));
    ExpectItemsDrawn(DialogPixels(), true);

    SendMessageW(g_hStatusDlg, WM_DPICHANGED, MAKEWPARAM(own, own), reinterpret_cast<LPARAM>(&before));
    logoRect = ClientRectOf(g_hStatusDlg, LogoControl(g_hStatusDlg));
    EXPECT_EQ(logoRect.right - logoRect.left, SM_ScaleToDpi(80, own)) << "and back";
    EXPECT_EQ(logoRect.top, LogoPlaceAt(own).y);
}

TEST(StatusAtScale, PictureBackgroundIsTheDialogsWithItsCornerOffTheScreen)
{
    // The pictures' background is taken from the dialog's pixel at (1, 1),
    // which cannot be read while that corner is off the screen. The dialog
    // goes where that corner is off it and the upper picture at (10, 10).
    MonitorEnv env;
    ASSERT_EQ(Show({34}), 1);  // codes without dots: the picture alone
    PictureLayout layout = Layout();
    RECT window = {};
    GetWindowRect(g_hStatusDlg, &window);
    POINT client = {0, 0};
    ClientToScreen(g_hStatusDlg, &client);
    MoveDialogTo({window.left - client.x - layout.pictureX + 10, window.top - client.y - layout.upperY + 10});
    RECT upper = {layout.pictureX, layout.upperY, layout.pictureX + layout.pictureSize,
                  layout.upperY + layout.pictureSize};
    ASSERT_FALSE(OnScreen(1, 1));
    ASSERT_TRUE(OnScreen(upper.left, upper.top) && OnScreen(upper.right - 1, upper.bottom - 1));
    ASSERT_EQ(Show({33}), 1);

    Pixels picture(g_hStatusDlg, upper);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const uint32_t faceRgb = GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face);
    const int last = layout.pictureSize - 1;
    for (POINT corner : {POINT{0, 0}, POINT{last, 0}, POINT{0, last}, POINT{last, last}})
        EXPECT_EQ(picture.At(corner.x, corner.y), faceRgb) << "the dialog's grey, not black, at " << Describe({corner});
}

// Wholly inside the work area of its monitor on each axis where it fits, at
// the work area's top or left edge where it does not.
void ExpectInWorkArea(HWND window)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    RECT r = {};
    GetWindowRect(window, &r);
    const std::string where = Describe({{r.left, r.top}, {r.right, r.bottom}});
    if (r.right - r.left <= work.right - work.left) {
        EXPECT_TRUE(r.left >= work.left && r.right <= work.right) << where;
    } else {
        EXPECT_EQ(r.left, work.left) << where;
    }
    if (r.bottom - r.top <= work.bottom - work.top) {
        EXPECT_TRUE(r.top >= work.top && r.bottom <= work.bottom) << where;
    } else {
        EXPECT_EQ(r.top, work.top) << where;
    }
}

TEST(PromptsAtScale, PromptsAreCentredInsideTheWorkArea)
{
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    InitProcessValues();
    for (int resource : {IDD_SECURE, IDD_ACCOUNTING}) {
        DLGPROC proc = resource == IDD_SECURE ? Secure_DlgProc : Accounting_DlgProc;
        HWND dialog = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(resource), nullptr, proc, 0);
        ASSERT_NE(dialog, nullptr);
        RECT r = {}, client = {};
        GetWindowRect(dialog, &r);
        GetClientRect(dialog, &client);
        ExpectInWorkArea(dialog);
        POINT centred = {std::max(0L, (screenW - client.right) / 2), std::max(0L, (screenH - client.bottom) / 2)};
        if (centred.x + r.right - r.left <= screenW && centred.y + r.bottom - r.top <= screenH) {
            EXPECT_EQ(r.left, centred.x) << resource << ": centred, as it fits there";
            EXPECT_EQ(r.top, centred.y) << resource;
        }
        // Wanted where part of it would be off the screen, it is kept inside.
        for (POINT wanted : {POINT{screenW - 40, screenH - 30}, POINT{-50, -20}, POINT{-50, screenH - 30}}) {
            POINT place = MISC_WorkAreaOrigin(dialog, wanted);
            SetWindowPos(dialog, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            SCOPED_TRACE(std::to_string(resource) + " wanted at " + Describe({wanted}));
            ExpectInWorkArea(dialog);
        }
        DestroyWindow(dialog);
    }
}

namespace {

// What a control needs to show its text in its own font: the text wrapped
// to the control's width (one line for buttons), with room kept for a check
// box's box.
SIZE NeededFor(HWND control, const std::wstring& text, bool oneLine, int reserve)
{
    RECT room = {};
    GetClientRect(control, &room);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT need = {0, 0, room.right - reserve, 0};
    UINT format = DT_CALCRECT | DT_NOPREFIX | (oneLine ? DT_SINGLELINE : DT_WORDBREAK);
    DrawTextW(dc, text.c_str(), -1, &need, format);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {need.right + reserve, need.bottom};
}

std::wstring TextOf(HWND control)
{
    wchar_t text[600] = L"";
    GetWindowTextW(control, text, 600);
    return text;
}

int ClientHeight(HWND control)
{
    RECT room = {};
    GetClientRect(control, &room);
    return room.bottom;
}

void ExpectFits(HWND control, const std::wstring& text, bool oneLine, int reserve = 0)
{
    RECT room = {};
    GetClientRect(control, &room);
    SIZE need = NeededFor(control, text, oneLine, reserve);
    EXPECT_LE(need.cx, room.right) << GetDlgCtrlID(control) << " is too narrow";
    EXPECT_LE(need.cy, room.bottom) << GetDlgCtrlID(control) << " is too low";
}

struct PromptCase {
    int resource;
    DLGPROC proc;
    std::vector<int> statics;
    std::vector<int> fields;
    int fieldUnits;
    int checkBox;
    int button;
};

void ExpectPromptFits(const PromptCase& c, int language)
{
    SCOPED_TRACE("dialog " + std::to_string(c.resource) + ", language " + std::to_string(language));
    InitProcessValues();
    g_SecurityType = 2;
    g_Language = language;
    HWND dialog = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(c.resource), nullptr, c.proc, 0);
    ASSERT_NE(dialog, nullptr);
    UpdateWindow(dialog);  // the texts are set when the dialog paints
    for (int id : c.statics) {
        HWND control = GetDlgItem(dialog, id);
        ASSERT_FALSE(TextOf(control).empty()) << id;
        ExpectFits(control, TextOf(control), false);
    }
    // Each field takes its longest text typed in its widest letter, and
    // shows a line of it in full height.
    const int margins = SM_ScaleToDpi(6, ScreenDpi());
    for (int id : c.fields) {
        HWND field = GetDlgItem(dialog, id);
        for (int i = 0; i < c.fieldUnits; ++i)
            SendMessageW(field, WM_CHAR, L'W', 1);
        EXPECT_EQ(GetWindowTextLengthW(field), c.fieldUnits) << id << " refused letters that did not fit";
        EXPECT_LE(NeededFor(field, L"W", true, 0).cy, ClientHeight(field)) << id;
    }
    if (c.checkBox)
        ExpectFits(GetDlgItem(dialog, c.checkBox), TextOf(GetDlgItem(dialog, c.checkBox)), true,
                   SM_ScaleToDpi(17, ScreenDpi()));
    HWND button = GetDlgItem(dialog, c.button);
    ExpectFits(button, TextOf(button), true, margins);
    DestroyWindow(dialog);
}

} // namespace

TEST(PromptsAtScale, LabelsFieldsAndButtonsFitInEveryLanguage)
{
    const PromptCase secure = {IDD_SECURE,
                               Secure_DlgProc,
                               {IDC_SEC_ID_LABEL, IDC_SEC_ID_HINT, IDC_SEC_PASSWORD_LABEL, IDC_SEC_PASSWORD_HINT},
                               {IDC_SEC_ID, IDC_SEC_PASSWORD},
                               16,
                               IDC_SEC_REMOVE,
                               IDC_SEC_OK};
    const PromptCase accounting = {IDD_ACCOUNTING,
                                   Accounting_DlgProc,
                                   {IDC_ACT_NAME_LABEL, IDC_ACT_NAME_HINT, IDC_ACT_PASSWORD_LABEL,
                                    IDC_ACT_PASSWORD_HINT},
                                   {IDC_ACT_NAME, IDC_ACT_PASSWORD},
                                   28,
                                   0,
                                   IDC_ACT_OK};
    for (int language : {0, 1, 2}) {
        ExpectPromptFits(secure, language);
        ExpectPromptFits(accounting, language);
    }
}

TEST(PromptsAtScale, ChineseTextsAreMeasuredWithAFontThatHasThem)
{
    // Without a font for the Chinese labels they would be measured as boxes
    // of a Latin letter's width, and the check above would prove nothing.
    HDC dc = GetDC(nullptr);
    LOGFONTW lf = {};
    lf.lfHeight = -MulDiv(9, ScreenDpi(), 72);
    wcscpy(lf.lfFaceName, L"Courier New");
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE latin = {}, chinese = {};
    GetTextExtentPoint32W(dc, L"ab", 2, &latin);
    GetTextExtentPoint32W(dc, L"\u5DE5\u4F5C", 2, &chinese);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    EXPECT_GT(chinese.cx, latin.cx * 3 / 2) << "Chinese characters are about twice as wide as Latin ones";
}

TEST(StatusAtScale, SizeForAnotherDpiIsTheDialogManagersLayout)
{
    MonitorEnv env;
    ASSERT_EQ(Show({33}), 1);
    RECT window = {};
    GetWindowRect(g_hStatusDlg, &window);
    SIZE own = SM_StatusDialogSizeAt(g_hStatusDlg, ScreenDpi());
    EXPECT_EQ(own.cx, window.right - window.left) << "the size the dialog manager gave it at this DPI";
    EXPECT_EQ(own.cy, window.bottom - window.top);

    for (int dpi : {96, 120, 144, 168, 192}) {
        SIZE asked = {1, 1};
        LRESULT handled = SendMessageW(g_hStatusDlg, 0x02E4 /* WM_GETDPISCALEDSIZE */, dpi,
                                       reinterpret_cast<LPARAM>(&asked));
        SIZE expected = SM_StatusDialogSizeAt(g_hStatusDlg, dpi);
        EXPECT_TRUE(handled) << dpi;
        EXPECT_EQ(asked.cx, expected.cx) << dpi;
        EXPECT_EQ(asked.cy, expected.cy) << dpi;
        EXPECT_GT(expected.cx, MulDiv(own.cx, dpi, ScreenDpi()) * 9 / 10) << "about in step with the DPI";
        EXPECT_LT(expected.cx, MulDiv(own.cx, dpi, ScreenDpi()) * 11 / 10);
    }
}

TEST(StatusAtScale, RefreshesAndScaleChangesGiveBackWhatTheyTake)
{
    // Each refresh makes a region and a pen, each change of scale loads a
    // logo: forty of each must leave the GDI table as it was.
    MonitorEnv env;
    ASSERT_EQ(Show({5}), 1);
    const int own = g_StatusDlgDpi;
    RECT place = {};
    GetWindowRect(g_hStatusDlg, &place);
    auto round = [&](int i) {
        ASSERT_EQ(Show(i % 2 ? kTwelveItems : std::vector<int>{257, 33}), 1);
        for (int dpi : {168, 192, 96, own})  // one larger logo to another, to none and back
            SendMessageW(g_hStatusDlg, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
        UpdateWindow(g_hStatusDlg);
    };
    for (int i = 0; i < 4; ++i)
        round(i);
    const int before = FreeGdiPlaces();
    for (int i = 0; i < 40; ++i)
        round(i);
    const int after = FreeGdiPlaces();
    EXPECT_LE(before - after, 8) << before << " free GDI places before, " << after << " after";
}
