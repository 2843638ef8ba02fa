#include "display/status_draw.h"

#include <vector>

#include "common/gdi_guards.h"
#include "common/globals.h"
#include "common/os_version.h"
#include "display/message_table.h"
#include "display/message_text.h"
#include "display/picture_bmp.h"
#include "display/picture_shapes.h"
#include "display/status_items.h"
#include "resources/resource.h"

namespace {

constexpr int kAnsiTextBytes = 260;

void StretchWhole(HDC dc, int x, int y, int size, HDC source, HBITMAP bitmap, DWORD rop)
{
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    StretchBlt(dc, x, y, size, size, source, 0, 0, info.bmWidth, info.bmHeight, rop);
}

// Fills the area with the colour at (1, 1), ANDs the mask on, then combines
// the image with rop, each stretched to size x size. 1 when drawn.
int DrawMasked(HDC dc, int x, int y, int size, HBITMAP image, HBITMAP mask, DWORD rop)
{
    // The bitmaps outlive the memory DC, so they are deselected before deletion.
    ScopedMemoryDC memory(dc);
    if (!memory.Get())
        return 0;
    memory.Select(mask);
    // The colour at (1, 1) is unreadable (CLR_INVALID) when that pixel is off
    // the screen; the dialog's own background colour stands in for it: it
    // leaves WM_CTLCOLORDLG to the dialog manager, which paints the button face.
    COLORREF corner = GetPixel(dc, 1, 1);
    HBRUSH background = CreateSolidBrush(corner == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : corner);
    RECT area = {x, y, x + size, y + size};
    FillRect(dc, &area, background);
    DeleteObject(background);
    // A picture of another size is stretched pixel for pixel: blended pixels
    // would break the AND-then-XOR of mask and image into false colours.
    int oldStretch = SetStretchBltMode(dc, COLORONCOLOR);
    StretchWhole(dc, x, y, size, memory.Get(), mask, SRCAND);
    if (image) {
        memory.Select(image);
        StretchWhole(dc, x, y, size, memory.Get(), image, rop);
    }
    SetStretchBltMode(dc, oldStretch);
    return 1;
}

RECT ClientRectOf(HWND dialog, HWND control)
{
    RECT r = {};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// On the 9x family the static controls take ANSI text in the UI code page;
// a text with no convertible character leaves the slot empty.
void SetSlotText(HWND slot, const WCHAR* text)
{
    if (SM_IsNTFamily(OsVersionCode)) {
        SetWindowTextW(slot, text);
        return;
    }
    char ansi[kAnsiTextBytes] = "";
    int bytes = WideCharToMultiByte(static_cast<UINT>(g_UICodePage), WC_NO_BEST_FIT_CHARS, text,
                                    static_cast<int>(wcslen(text)), ansi, kAnsiTextBytes - 1, nullptr, nullptr);
    if (bytes <= 0)
        return;
    ansi[bytes] = '\0';
    SetWindowTextA(slot, ansi);
}

// Everything the items of any list can draw into: the frames of all twelve
// slots, and the band between the two columns, from the top frame down to
// the foot of the lower picture, where the leader lines and dots run. It
// holds whatever the previous list drew, so clearing it leaves nothing of
// items that went; the logo and the buttons lie outside it and are never
// painted over.
HRGN ItemArea(HWND dialog, const PictureLayout& layout)
{
    RECT first = ClientRectOf(dialog, GetDlgItem(dialog, IDC_SLOT_FIRST));
    RECT last = ClientRectOf(dialog, GetDlgItem(dialog, IDC_SLOT_LAST));
    RECT leftColumn = ClientRectOf(dialog, GetDlgItem(dialog, IDC_SLOT_FIRST + 5));
    RECT rightColumn = ClientRectOf(dialog, GetDlgItem(dialog, IDC_SLOT_FIRST + 6));
    const int pad = layout.framePad, line = layout.lineWidth;
    HRGN area = CreateRectRgn(first.left - pad, first.top - pad, last.right + pad, last.bottom + pad);
    int top = first.top - pad < layout.upperY ? first.top - pad : layout.upperY;
    int pictureFoot = layout.lowerY + layout.pictureSize;
    int bottom = last.bottom + pad > pictureFoot ? last.bottom + pad : pictureFoot;
    HRGN band = CreateRectRgn(leftColumn.right + pad - line, top, rightColumn.left - pad + line, bottom);
    if (area && band)
        CombineRgn(area, area, band, RGN_OR);
    if (band)
        DeleteObject(band);
    return area;
}

void DrawPictures(HWND dialog, HDC dc, const PictureLayout& layout, bool duplex)
{
    HRGN area = ItemArea(dialog, layout);
    if (area) {
        FillRgn(dc, area, GetSysColorBrush(COLOR_BTNFACE));
        DeleteObject(area);
    }
    const int size = layout.pictureSize, dpi = layout.dpi;
    if (!SM_DrawPictureAtDpi(dc, layout.pictureX, layout.upperY, dpi, kPictureUpper))
        SM_DrawImageSized(dc, layout.pictureX, layout.upperY, size, IDB_UPPER, IDB_UPPER_MASK, SRCINVERT);
    if (!SM_DrawPictureAtDpi(dc, layout.pictureX, layout.lowerY, dpi, kPictureLower))
        SM_DrawImageSized(dc, layout.pictureX, layout.lowerY, size, IDB_LOWER, IDB_LOWER_MASK, SRCINVERT);
    if (duplex && !SM_DrawPictureAtDpi(dc, layout.pictureX, layout.lowerY, dpi, kPictureLowerDuplex))
        SM_DrawImageSized(dc, layout.pictureX, layout.lowerY, size, IDB_LOWER_DUPLEX, IDB_LOWER_MASK, SRCINVERT);
}

void DrawLeaderLine(HDC dc, HPEN pen, POINT anchor, const ItemMarks& marks)
{
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, anchor.x, anchor.y, nullptr);
    LineTo(dc, marks.edgeX, marks.lineY);
    LineTo(dc, marks.lineEndX, marks.lineY);
    SelectObject(dc, old);
}

void DrawItem(HWND dialog, HDC dc, const PictureLayout& layout, HPEN linePen, const StatusItem& item, int slotId,
              bool leftColumn, bool setText)
{
    HWND slot = GetDlgItem(dialog, slotId);
    RECT s = ClientRectOf(dialog, slot);
    const int pad = layout.framePad;
    Rectangle(dc, s.left - pad, s.top - pad, s.right + pad, s.bottom + pad);
    if (setText) {
        WCHAR text[kMessageUnits] = L"";
        SM_GetErrorText(item.code, text, kMessageUnits);
        SetSlotText(slot, text);
    }
    if (!SM_HasDot(item))
        return;
    POINT anchor = {leftColumn ? s.right + pad : s.left - pad, s.top + (s.bottom - s.top) / 2};
    ItemMarks marks = SM_ItemMarks(item, layout, leftColumn);
    DrawLeaderLine(dc, linePen, anchor, marks);
    const int dot = layout.dotSize;
    RoundRect(dc, marks.dotX, marks.dotY, marks.dotX + dot, marks.dotY + dot, dot, dot);
}

// Left column: slots 1001-1006 from the top; right column: 1007-1012.
int SlotOf(int i, int leftCount)
{
    return i < leftCount ? IDC_SLOT_FIRST + i : IDC_SLOT_FIRST + 6 + (i - leftCount);
}

// Draws into the dialog; the number of items drawn, their column split in *m.
int DrawStatus(HWND dialog, bool setTexts, int* indices, int* m)
{
    ScopedWindowDC dc(dialog);
    if (!dc.Get())
        return 0;
    int oldMode = SetBkMode(dc.Get(), TRANSPARENT);
    RECT client = {};
    GetClientRect(dialog, &client);
    PictureLayout layout = SM_PictureLayout(client.right - client.left, client.bottom - client.top, g_StatusDlgDpi);
    int n = SM_SortXYCoordinate(g_StatusItems, indices);
    bool duplex = false;
    for (int i = 0; i < n; ++i)
        duplex = duplex || g_StatusItems[indices[i]].kind == kKindLowerDuplex;
    DrawPictures(dialog, dc.Get(), layout, duplex);

    ScopedSolidTools blue(dc.Get(), kItemBlue);
    HPEN linePen = CreatePen(PS_SOLID, layout.lineWidth, kItemBlue);
    if (setTexts) {
        for (int id = IDC_SLOT_FIRST; id <= IDC_SLOT_LAST; ++id)
            SetDlgItemTextW(dialog, id, L"");
    }
    *m = SM_LeftColumnCount(n);
    for (int i = 0; i < n; ++i) {
        bool left = i < *m;
        DrawItem(dialog, dc.Get(), layout, linePen, g_StatusItems[indices[i]], SlotOf(i, *m), left, setTexts);
    }
    DeleteObject(linePen);
    SetBkMode(dc.Get(), oldMode);
    return n;
}

} // namespace

void SM_DrawMsgItem()
{
    if (!g_hStatusDlg)
        return;
    int indices[kMaxShownItems] = {}, m = 0;
    DrawStatus(g_hStatusDlg, true, indices, &m);
}

void SM_RedrawMsgItems()
{
    HWND dialog = g_hStatusDlg;
    if (!dialog)
        return;
    int indices[kMaxShownItems] = {}, m = 0;
    int n = DrawStatus(dialog, false, indices, &m);
    // A new text repaints its slot by itself; on a repaint the slots are
    // brought back over their filled frames here.
    for (int i = 0; i < n; ++i)
        RedrawWindow(GetDlgItem(dialog, SlotOf(i, m)), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

int SM_DrawImage(HDC dc, int x, int y, int image, int mask, DWORD rop)
{
    return SM_DrawImageSized(dc, x, y, kPictureSize, image, mask, rop);
}

int SM_DrawImageSized(HDC dc, int x, int y, int size, int image, int mask, DWORD rop)
{
    ScopedBitmap maskBitmap(LoadBitmapW(g_hInstance, MAKEINTRESOURCEW(mask)));
    if (!maskBitmap.Get())
        return 0;
    ScopedBitmap imageBitmap(LoadBitmapW(g_hInstance, MAKEINTRESOURCEW(image)));
    return DrawMasked(dc, x, y, size, imageBitmap.Get(), maskBitmap.Get(), rop);
}

namespace {

// A bitmap compatible with dc from the bytes of a BMP file.
HBITMAP BitmapOfFile(HDC dc, const std::vector<uint8_t>& file)
{
    auto* info = reinterpret_cast<const BITMAPINFO*>(file.data() + kBmpFileHeaderBytes);
    const uint8_t* bits = file.data() + kBmpFileHeaderBytes + info->bmiHeader.biSize +
                          sizeof(RGBQUAD) * info->bmiHeader.biClrUsed;
    return CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS);
}

// The picture drawn for the DPI; none (width 0) at 96 DPI, where the
// resources are the pictures.
PictureCanvas CanvasFor(StatusPicture picture, int dpi)
{
    return SM_DrawPicture(picture, dpi == kBaseDpi ? 0 : dpi);
}

} // namespace

HBITMAP SM_PictureBitmap(HDC dc, StatusPicture picture, int dpi, bool mask)
{
    PictureCanvas canvas = CanvasFor(picture, dpi);
    if (canvas.width == 0)
        return nullptr;
    return BitmapOfFile(dc, mask ? SM_PictureMaskBmp(canvas, 1) : SM_PictureImageBmp(canvas));
}

int SM_DrawPictureAtDpi(HDC dc, int x, int y, int dpi, StatusPicture picture)
{
    PictureCanvas canvas = CanvasFor(picture, dpi);
    if (canvas.width == 0)
        return 0;
    ScopedBitmap maskBitmap(BitmapOfFile(dc, SM_PictureMaskBmp(canvas, 1)));
    if (!maskBitmap.Get())
        return 0;
    ScopedBitmap imageBitmap(BitmapOfFile(dc, SM_PictureImageBmp(canvas)));
    return DrawMasked(dc, x, y, canvas.width, imageBitmap.Get(), maskBitmap.Get(), SRCINVERT);
}

HWND SM_StatusLogoControl(HWND dialog)
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        WCHAR className[16] = L"";
        GetClassNameW(child, className, 16);
        if (lstrcmpiW(className, L"Static") == 0 && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
            return child;
    }
    return nullptr;
}

namespace {

HBITMAP SetLogo(HWND logo, HBITMAP bitmap)
{
    return reinterpret_cast<HBITMAP>(
        SendMessageW(logo, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
}

} // namespace

void SM_ShowStatusLogo(HWND dialog, int dpi)
{
    HWND logo = SM_StatusLogoControl(dialog);
    if (!logo)
        return;
    ScopedWindowDC screen(nullptr);
    HBITMAP scaled = SM_PictureBitmap(screen.Get(), kPictureLogo, dpi, false);
    if (!scaled) {
        SM_ReleaseStatusLogo(dialog);
        return;
    }
    // The control resizes itself to the new bitmap, as it did for its own.
    HBITMAP previous = SetLogo(logo, scaled);
    if (g_hStatusLogo)
        DeleteObject(g_hStatusLogo);
    else
        g_hStatusLogoOwn = previous;
    g_hStatusLogo = scaled;
}

void SM_ReleaseStatusLogo(HWND dialog)
{
    if (!g_hStatusLogo)
        return;
    HWND logo = SM_StatusLogoControl(dialog);
    if (logo)
        SetLogo(logo, g_hStatusLogoOwn);
    DeleteObject(g_hStatusLogo);
    g_hStatusLogo = nullptr;
    g_hStatusLogoOwn = nullptr;
}
