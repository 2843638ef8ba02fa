#include "display/status_draw.h"

#include "common/gdi_guards.h"
#include "common/globals.h"
#include "common/os_version.h"
#include "display/message_table.h"
#include "display/message_text.h"
#include "display/status_items.h"
#include "resources/resource.h"

namespace {

constexpr int kAnsiTextBytes = 260;
constexpr int kFramePad = 2;

void StretchWhole(HDC dc, int x, int y, HDC source, HBITMAP bitmap, DWORD rop)
{
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    StretchBlt(dc, x, y, kPictureSize, kPictureSize, source, 0, 0, info.bmWidth, info.bmHeight, rop);
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

void DrawPictures(HWND dialog, HDC dc, const PictureLayout& layout, bool duplex)
{
    ScopedSolidTools face(dc, GetSysColor(COLOR_BTNFACE));
    RECT w = {};
    GetWindowRect(dialog, &w);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&w), 2);
    Rectangle(dc, w.left + 20, w.top + 45, w.right - 20, w.bottom - 80);
    SM_DrawImage(dc, layout.pictureX, layout.upperY, IDB_UPPER, IDB_UPPER_MASK, SRCINVERT);
    SM_DrawImage(dc, layout.pictureX, layout.lowerY, IDB_LOWER, IDB_LOWER_MASK, SRCINVERT);
    if (duplex)
        SM_DrawImage(dc, layout.pictureX, layout.lowerY, IDB_LOWER_DUPLEX, IDB_LOWER_MASK, SRCINVERT);
}

void DrawItem(HWND dialog, HDC dc, const PictureLayout& layout, const StatusItem& item, int slotId,
              bool leftColumn, bool setText)
{
    HWND slot = GetDlgItem(dialog, slotId);
    RECT s = ClientRectOf(dialog, slot);
    Rectangle(dc, s.left - kFramePad, s.top - kFramePad, s.right + kFramePad, s.bottom + kFramePad);
    if (setText) {
        WCHAR text[kMessageUnits] = L"";
        SM_GetErrorText(item.code, text, kMessageUnits);
        SetSlotText(slot, text);
    }
    if (!SM_HasDot(item))
        return;
    int middle = s.top + (s.bottom - s.top) / 2;
    int anchorX = leftColumn ? s.right + kFramePad : s.left - kFramePad;
    int baseY = SM_IsLowerKind(item.kind) ? layout.lowerY : layout.upperY;
    int edgeX = leftColumn ? layout.pictureX : layout.pictureX + kPictureSize;
    int lineY = baseY + item.dotY + kDotSize / 2;
    MoveToEx(dc, anchorX, middle, nullptr);
    LineTo(dc, edgeX, lineY);
    LineTo(dc, layout.pictureX + item.dotX + kDotSize / 2, lineY);
    int dotX = layout.pictureX + item.dotX, dotY = baseY + item.dotY;
    RoundRect(dc, dotX, dotY, dotX + kDotSize, dotY + kDotSize, kDotSize, kDotSize);
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
    PictureLayout layout = SM_PictureLayout(client.right - client.left, client.bottom - client.top);
    int n = SM_SortXYCoordinate(g_StatusItems, indices);
    bool duplex = false;
    for (int i = 0; i < n; ++i)
        duplex = duplex || g_StatusItems[indices[i]].kind == kKindLowerDuplex;
    DrawPictures(dialog, dc.Get(), layout, duplex);

    ScopedSolidTools blue(dc.Get(), kItemBlue);
    if (setTexts) {
        for (int id = IDC_SLOT_FIRST; id <= IDC_SLOT_LAST; ++id)
            SetDlgItemTextW(dialog, id, L"");
    }
    *m = SM_LeftColumnCount(n);
    for (int i = 0; i < n; ++i) {
        bool left = i < *m;
        DrawItem(dialog, dc.Get(), layout, g_StatusItems[indices[i]], SlotOf(i, *m), left, setTexts);
    }
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
    // The bitmaps outlive the memory DC, so they are deselected before deletion.
    ScopedBitmap maskBitmap(LoadBitmapW(g_hInstance, MAKEINTRESOURCEW(mask)));
    if (!maskBitmap.Get())
        return 0;
    ScopedBitmap imageBitmap(LoadBitmapW(g_hInstance, MAKEINTRESOURCEW(image)));
    ScopedMemoryDC memory(dc);
    if (!memory.Get())
        return 0;
    memory.Select(maskBitmap.Get());
    HBRUSH background = CreateSolidBrush(GetPixel(dc, 1, 1));
    RECT area = {x, y, x + kPictureSize, y + kPictureSize};
    FillRect(dc, &area, background);
    DeleteObject(background);
    StretchWhole(dc, x, y, memory.Get(), maskBitmap.Get(), SRCAND);
    if (imageBitmap.Get()) {
        memory.Select(imageBitmap.Get());
        StretchWhole(dc, x, y, memory.Get(), imageBitmap.Get(), rop);
    }
    return 1;
}
