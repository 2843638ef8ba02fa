#include "watermark/wm_text.h"

#include "common/gdi_guards.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/utf16.h"
#include "watermark/settings.h"
#include "watermark/text_layout.h"
#include "watermark/wm_stamp.h"

namespace {

constexpr int kMaxTextUnits = WM_TEXT_MAX_LEN - 1;

// Character set of the first font the family enumeration reports.
int CALLBACK TakeFirstCharSet(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM out)
{
    *reinterpret_cast<BYTE*>(out) = font->lfCharSet;
    return 0;
}

BYTE CharSetOf(HDC hdc, const WCHAR* faceName)
{
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    MISC_CopyText(U16(query.lfFaceName), LF_FACESIZE, U16View(faceName));
    BYTE charSet = 0;
    EnumFontFamiliesExW(hdc, &query, TakeFirstCharSet, reinterpret_cast<LPARAM>(&charSet), 0);
    return charSet;
}

// The watermark is sized for paper, so the font's resolution is fixed at 96
// dots per inch. The memory context would report the display it is
// compatible with, and a printed page must not grow with the user's display
// scaling.
constexpr int kJobFontDpi = 96;

} // namespace

HFONT avCreateFont(HDC hdc, const WCHAR* faceName, unsigned deciPointHeight, unsigned style,
                   int escapement)
{
    const BYTE charSet = CharSetOf(hdc, faceName);
    ScopedSavedDC saved(hdc);
    SetViewportOrgEx(hdc, 0, 0, nullptr);
    SetWindowOrgEx(hdc, 0, 0, nullptr);
    POINT point{0, static_cast<LONG>(kJobFontDpi * static_cast<int>(deciPointHeight) / 72)};
    DPtoLP(hdc, &point, 1);
    const int height = WM_LogFontHeight(point.y);
    if (height == 0)
        return nullptr;
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfEscapement = escapement;
    lf.lfWeight = (style & 1) ? FW_BOLD : FW_DONTCARE;
    lf.lfItalic = (style & 2) ? TRUE : FALSE;
    lf.lfUnderline = (style & 4) ? TRUE : FALSE;
    lf.lfStrikeOut = (style & 8) ? TRUE : FALSE;
    lf.lfCharSet = charSet;
    MISC_CopyText(U16(lf.lfFaceName), LF_FACESIZE, U16View(faceName));
    return CreateFontIndirectW(&lf);
}

void avDrawWatermarkText(HINSTANCE, HDC hdc, const RECT* drawRect, const JobWM* record,
                         int nFontSizeScale)
{
    ScopedTrace trace(kTraceProgress, L"avDrawWatermarkText");
    const int drawW = drawRect->right - drawRect->left;
    const int drawH = drawRect->bottom - drawRect->top;
    if (drawW == 0 || drawH == 0)
        return;
    const TyWM& wm = record->wm;
    const unsigned iFontHeight = WM_FontHeight(wm.wFontSize, nFontSizeScale);
    const int iEscapement = WM_Escapement(wm.wAngleDegree);
    TRACE_Msg(kTraceProgress, L"iFontHeight = %u, iEscapement = %d", iFontHeight, iEscapement);

    // The record comes from a file: its fixed fields may lack a terminator.
    WCHAR face[WM_FONTFACE_MAX_LEN];
    MISC_CopyText(U16(face), WM_FONTFACE_MAX_LEN,
                  std::u16string_view(wm.wmFaceName, MISC_TextLength(wm.wmFaceName, WM_FONTFACE_MAX_LEN)));
    ScopedFont font(avCreateFont(hdc, face, iFontHeight, wm.wStyle, iEscapement));
    if (!font.Get())
        return;
    // Font, colour, mode and alignment go back before the font is deleted.
    ScopedSavedDC saved(hdc);
    SelectObject(hdc, font.Get());
    SetTextColor(hdc, RGB(0, 0, 0));
    SetBkMode(hdc, TRANSPARENT);
    SetTextAlign(hdc, TA_LEFT | TA_TOP | TA_NOUPDATECP);

    const int units = static_cast<int>(MISC_TextLength(wm.wmText, kMaxTextUnits));
    const WCHAR* text = W16(wm.wmText);
    SIZE extent{};
    if (units > 0 && !GetTextExtentPoint32W(hdc, text, units, &extent))
        return;
    const WM_TextLayout layout = WM_LayoutText(iEscapement, {extent.cx, extent.cy});
    TRACE_Msg(kTraceProgress, L"szText = %d x %d, szRotateText = %d x %d, iStartX = %d, iStartY = %d",
              layout.szText.cx, layout.szText.cy, layout.szRotateText.cx, layout.szRotateText.cy,
              layout.iStartX, layout.iStartY);
    const auto drawCopy = [&](int x, int y) {
        ExtTextOutW(hdc, drawRect->left + x, drawRect->top + y, ETO_CLIPPED, drawRect, text,
                    static_cast<UINT>(units), nullptr);
    };
    if (wm.wPlacement == 1 && avStampTiles(hdc, drawRect, layout, text, units, drawCopy))
        return;
    WM_ForEachCopy(layout, drawW, drawH, wm.wPlacement, units, drawCopy);
}
