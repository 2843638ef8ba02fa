#include "watermark/wm_stamp.h"

#include <map>
#include <utility>
#include <vector>

#include "common/gdi_guards.h"
#include "watermark/halftone.h"
#include "watermark/mono_dib.h"
#include "watermark/stamp.h"

namespace {

// Below this many copies a TextOut each costs no more than the stamp.
constexpr size_t kMinCopies = 3;
// A stamp may be as large as the picture (so the job's memory stays within
// twice the picture), or this much on a small picture.
constexpr size_t kSmallStampBytes = size_t{1} << 20;
// How far a stamp's origin may move to round as its copies' origins do.
constexpr int kMaxOriginLift = 1 << 14;

int NextPowerOfTwo(int v)
{
    int p = 1;
    while (p <= v)
        p <<= 1;
    return p;
}

// The largest stamp for hdc's picture; 0 when hdc is not a plain 1-bit
// context: BitBlt between two 1-bit pictures ANDs the bits as they are
// (between depths it would map colours), and the stamp's pixels are device
// pixels.
size_t StampLimit(HDC hdc)
{
    BITMAP bitmap{};
    if (!GetObjectW(GetCurrentObject(hdc, OBJ_BITMAP), sizeof(bitmap), &bitmap))
        return 0;
    if (bitmap.bmBitsPixel != 1 || bitmap.bmPlanes != 1 || GetMapMode(hdc) != MM_TEXT ||
        GetGraphicsMode(hdc) != GM_COMPATIBLE)
        return 0;
    const size_t picture = static_cast<size_t>(bitmap.bmWidthBytes) * static_cast<size_t>(bitmap.bmHeight);
    return picture > kSmallStampBytes ? picture : kSmallStampBytes;
}

std::vector<POINT> CopyPositions(const WM_TextLayout& layout, const RECT* drawRect, int units)
{
    std::vector<POINT> copies;
    WM_ForEachCopy(layout, drawRect->right - drawRect->left, drawRect->bottom - drawRect->top, 1, units,
                   [&](int x, int y) { copies.push_back({drawRect->left + x, drawRect->top + y}); });
    return copies;
}

// The whole pixels the device adds to a copy's origin, on each axis.
using Rounding = std::pair<int, int>;

// A stamp origin on one axis, at least minimum, that the device rounds with
// the given shift; -1 when there is none near. The shift changes only with
// the sign and the power of two of the origin, so those are the places tried.
int OriginWithShift(int minimum, double offset, double slack, int wanted)
{
    for (int o = minimum; o <= minimum + kMaxOriginLift; o = NextPowerOfTwo(o) + 1) {
        int shift;
        if (WM_OriginShift(o, offset, slack, &shift) && shift == wanted)
            return o;
    }
    return -1;
}

// The stamp's box for copies rounded as given, or false when no origin near
// the stamp's own rounds so.
bool PlaceStamp(const WM_TextLayout& layout, const WM_TopOffset& offset, const Rounding& rounding,
                WM_StampBox* box)
{
    *box = WM_StampBoxFor(layout);
    const int originX = OriginWithShift(box->originX, offset.x, offset.slackX, rounding.first);
    const int originY = OriginWithShift(box->originY, offset.y, offset.slackY, rounding.second);
    if (originX < 0 || originY < 0)
        return false;
    box->width += originX - box->originX;
    box->height += originY - box->originY;
    box->originX = originX;
    box->originY = originY;
    return true;
}

// Draws the text once at the box's reference point into stampDc's fresh
// white picture, with hdc's font and text settings.
bool DrawStamp(HDC hdc, HDC stampDc, const WM_StampBox& box, const WCHAR* text, int units)
{
    SelectObject(stampDc, GetCurrentObject(hdc, OBJ_FONT));
    SetTextColor(stampDc, GetTextColor(hdc));
    SetBkMode(stampDc, TRANSPARENT);
    SetTextAlign(stampDc, GetTextAlign(hdc));
    if (!PatBlt(stampDc, 0, 0, box.width, box.height, WHITENESS))
        return false;
    const BOOL drawn = ExtTextOutW(stampDc, box.originX, box.originY, 0, nullptr, text, static_cast<UINT>(units),
                                   nullptr);
    GdiFlush();
    return drawn != FALSE;
}

// ANDs one stamp, drawn at an origin rounded as the copies' are, in at every
// copy's place. False, having drawn nothing, when that cannot be done or
// trusted.
bool StampCopies(HDC hdc, const WM_TextLayout& layout, const WM_TopOffset& offset, const Rounding& rounding,
                 const WCHAR* text, int units, const std::vector<POINT>& copies, size_t maxStampBytes)
{
    WM_StampBox box;
    if (!PlaceStamp(layout, offset, rounding, &box))
        return false;
    const size_t stride = static_cast<size_t>(WM_Stride(box.width));
    if (stride * static_cast<size_t>(box.height) > maxStampBytes)
        return false;
    // The bitmap outlives the DC it is selected into.
    void* bits = nullptr;
    ScopedBitmap stamp(WM_CreateMonoDIB(hdc, box.width, box.height, 0, &bits));
    ScopedMemoryDC stampDc(hdc);
    if (!stamp.Get() || !stampDc.Get())
        return false;
    stampDc.Select(stamp.Get());
    ScopedSavedDC stampState(stampDc.Get());
    if (!DrawStamp(hdc, stampDc.Get(), box, text, units))
        return false;
    // Bottom-up: the top row is the last in memory.
    const uint8_t* top = static_cast<const uint8_t*>(bits) + static_cast<size_t>(box.height - 1) * stride;
    const WM_InkBox ink = WM_InkBounds(top, -static_cast<ptrdiff_t>(stride), box.width, box.height);
    // No ink, or ink on the edge that may have been cut off: not to be trusted.
    if (ink.Empty() || ink.left == 0 || ink.top == 0 || ink.right == box.width || ink.bottom == box.height)
        return false;
    for (const POINT& at : copies) {
        BitBlt(hdc, at.x - box.originX + ink.left, at.y - box.originY + ink.top, ink.right - ink.left,
               ink.bottom - ink.top, stampDc.Get(), ink.left, ink.top, SRCAND);
    }
    return true;
}

} // namespace

bool avStampTiles(HDC hdc, const RECT* drawRect, const WM_TextLayout& layout, const WCHAR* text, int units,
                  const std::function<void(int x, int y)>& drawCopy)
{
    const size_t maxStampBytes = StampLimit(hdc);
    TEXTMETRICW metrics{};
    if (maxStampBytes == 0 || !GetTextMetricsW(hdc, &metrics))
        return false;
    const std::vector<POINT> copies = CopyPositions(layout, drawRect, units);
    if (copies.size() < kMinCopies)
        return false;
    // Copies whose origins round alike share a stamp; a copy whose rounding
    // cannot be told for sure is drawn by itself.
    const WM_TopOffset offset = WM_TopOffsetFor(metrics.tmAscent, layout.iEscapement);
    std::map<Rounding, std::vector<POINT>> alike;
    std::vector<POINT> alone;
    for (const POINT& at : copies) {
        Rounding rounding;
        if (WM_OriginShift(at.x, offset.x, offset.slackX, &rounding.first) &&
            WM_OriginShift(at.y, offset.y, offset.slackY, &rounding.second))
            alike[rounding].push_back(at);
        else
            alone.push_back(at);
    }
    ScopedSavedDC clip(hdc);
    IntersectClipRect(hdc, drawRect->left, drawRect->top, drawRect->right, drawRect->bottom);
    bool stamped = false;
    for (const auto& group : alike) {
        if (group.second.size() >= kMinCopies &&
            StampCopies(hdc, layout, offset, group.first, text, units, group.second, maxStampBytes))
            stamped = true;
        else
            alone.insert(alone.end(), group.second.begin(), group.second.end());
    }
    if (!stamped)
        return false;
    for (const POINT& at : alone)
        drawCopy(at.x - drawRect->left, at.y - drawRect->top);
    return true;
}
