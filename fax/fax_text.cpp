#include "fax/fax_text.h"

#include <cwchar>

#include "common/gdi_guards.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/utf16.h"
#include "fax/cover_geometry.h"

namespace {

int CALLBACK TakeFirstCharSet(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data)
{
    *reinterpret_cast<BYTE*>(data) = font->lfCharSet;
    return 0;  // the first font decides
}

BYTE FaceCharSet(HDC hdc, const WCHAR* faceName)
{
    BYTE charSet = 0;
    EnumFontFamiliesW(hdc, faceName, TakeFirstCharSet, reinterpret_cast<LPARAM>(&charSet));
    return charSet;
}

// The cover page is sized for paper, so its fonts are made at a fixed 96
// dots per inch. The memory DC would report the display it is compatible
// with (neither the fax resolution nor a constant), and a fax page must not
// change with the user's display scaling.
constexpr int kJobFontDpi = 96;

// Pixels per inch that the font sizes are worked out with.
void DeviceResolution(HDC hdc, int useLogPixels, int* cxDpi, int* cyDpi)
{
    if (useLogPixels) {
        *cxDpi = GetDeviceCaps(hdc, LOGPIXELSX);
        *cyDpi = GetDeviceCaps(hdc, LOGPIXELSY);
        return;
    }
    *cxDpi = kJobFontDpi;
    *cyDpi = kJobFontDpi;
}

// The first font's average character width becomes the final font's width,
// so the letters keep their width while the height is squeezed.
int AverageCharWidth(HDC hdc, const LOGFONTW& description)
{
    ScopedFont font(CreateFontIndirectW(&description));
    if (!font.Get())
        return 0;
    ScopedSelect selected(hdc, font.Get());
    TEXTMETRICW metrics = {};
    return GetTextMetricsW(hdc, &metrics) ? metrics.tmAveCharWidth : 0;
}

} // namespace

HFONT FaxCreateFont(HDC hdc, const WCHAR* faceName, int height, int width, int style, int escapement,
                    int useLogPixels, int faxDpi)
{
    constexpr const wchar_t* kTag = L"FaxCreateFont";
    ScopedTrace trace(kTraceProgress, kTag);
    BYTE charSet = FaceCharSet(hdc, faceName);
    ScopedSavedDC saved(hdc);
    SetViewportOrgEx(hdc, 0, 0, nullptr);
    SetWindowOrgEx(hdc, 0, 0, nullptr);

    int cxDpi = 0;
    int cyDpi = 0;
    DeviceResolution(hdc, useLogPixels, &cxDpi, &cyDpi);
    POINT point = {FAX_TenthsToPoint(cxDpi, width), FAX_TenthsToPoint(cyDpi, height)};
    DPtoLP(hdc, &point, 1);
    int pixelHeight = FAX_FirstFontHeight(point.y);
    TRACE_Tag(kTag, L"cxDpi %d, cyDpi %d, point (%ld, %ld), height %d, faxdpi %d", cxDpi, cyDpi, point.x, point.y,
              pixelHeight, faxDpi);
    if (pixelHeight == 0) {
        TRACE_TagError(kTag, L"font height is 0");
        return nullptr;
    }

    LOGFONTW description = {};
    description.lfHeight = pixelHeight;
    description.lfEscapement = escapement;
    description.lfWeight = 100;
    description.lfItalic = (style & kFaxItalic) ? TRUE : FALSE;
    description.lfUnderline = (style & kFaxUnderline) ? TRUE : FALSE;
    description.lfStrikeOut = (style & kFaxStrikeOut) ? TRUE : FALSE;
    description.lfCharSet = charSet;
    MISC_CopyText(U16(description.lfFaceName), LF_FACESIZE, U16View(faceName));
    description.lfWidth = AverageCharWidth(hdc, description);
    description.lfHeight = FAX_FinalFontHeight(pixelHeight);
    TRACE_Tag(kTag, L"font %ls: height %ld, width %ld, weight %ld, italic %d, underline %d, strikeout %d, charset %d",
              description.lfFaceName, description.lfHeight, description.lfWidth, description.lfWeight,
              description.lfItalic, description.lfUnderline, description.lfStrikeOut, description.lfCharSet);
    HFONT font = CreateFontIndirectW(&description);
    if (!font)
        TRACE_TagError(kTag, L"create font fail!");
    return font;
}

void TextOutForCoverPage(HDC hdc, const RECT* clip, int fontSize, const WCHAR* text, int x, int y, int style,
                         int faxDpi)
{
    constexpr const wchar_t* kTag = L"TextOutForCoverPage";
    ScopedTrace trace(kTraceProgress, kTag);
    if (!text)
        return;
    FaxPoint pos = FAX_PosToPixel(x, y);
    ScopedFont font(FaxCreateFont(hdc, L"Arial", fontSize * 10, 0, style, 0, 0, faxDpi));
    if (!font.Get()) {
        TRACE_TagError(kTag, L"no font for %d pt", fontSize);
        return;
    }
    ScopedSelect selected(hdc, font.Get());
    if (!ExtTextOutW(hdc, pos.x, pos.y, ETO_CLIPPED, clip, text, static_cast<UINT>(wcslen(text)), nullptr))
        TRACE_TagError(kTag, L"text out fail at (%d, %d)", pos.x, pos.y);
}

void FaxLineTo(HDC hdc, int faxDpi, int x1, int y1, int x2, int y2, int width)
{
    constexpr const wchar_t* kTag = L"FaxLineTo";
    TRACE_Tag(kTag, L"(%d, %d) to (%d, %d), width %d, faxdpi %d", x1, y1, x2, y2, width, faxDpi);
    ScopedPen pen(CreatePen(PS_SOLID, width, RGB(0, 0, 0)));
    if (!pen.Get()) {
        TRACE_TagError(kTag, L"create pen fail!");
        return;
    }
    ScopedSelect selected(hdc, pen.Get());
    MoveToEx(hdc, x1, FAX_LineRow(y1), nullptr);
    LineTo(hdc, x2, FAX_LineRow(y2));
}
