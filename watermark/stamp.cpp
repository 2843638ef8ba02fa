#include "watermark/stamp.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;

// Leftmost and rightmost black pixel of one row; first > last when none.
void RowInk(const uint8_t* row, int width, int* first, int* last)
{
    *first = width;
    *last = -1;
    const int bytes = (width + 7) / 8;
    for (int k = 0; k < bytes; ++k) {
        uint8_t black = static_cast<uint8_t>(~row[k]);
        if (k == bytes - 1 && width % 8)
            black &= static_cast<uint8_t>(0xFF << (8 - width % 8));
        if (!black)
            continue;
        int x = 8 * k;
        for (uint8_t bit = 0x80; !(black & bit); bit >>= 1)
            ++x;
        *first = std::min(*first, x);
        x = 8 * k + 7;
        for (uint8_t bit = 0x01; !(black & bit); bit <<= 1)
            --x;
        *last = std::max(*last, x);
    }
}

// Another library's sine may differ from ours in the last bits: by a few
// units in the last place of a true offset, and, near a right angle where
// the result is a residue of the argument's rounding, by up to a few parts
// in 1e5 of it.
double Slack(double offset)
{
    const double size = std::fabs(offset);
    return size < 1e-6 ? size * 1e-3 : size * 4e-16;
}

} // namespace

WM_StampBox WM_StampBoxFor(const WM_TextLayout& layout)
{
    // Text space: u along the baseline, v down the cell. Counter-clockwise
    // rotation on a y-down device takes (u, v) to (u cos + v sin, v cos - u sin).
    const double angle = layout.iEscapement * kPi / 1800;
    const double c = std::cos(angle), s = std::sin(angle);
    const double margin = layout.szText.cy;
    const double us[] = {-margin, layout.szText.cx + margin};
    const double vs[] = {-margin, layout.szText.cy + margin};
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (double u : us) {
        for (double v : vs) {
            const double x = u * c + v * s, y = v * c - u * s;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    WM_StampBox box;
    box.originX = static_cast<int>(std::ceil(-minX)) + 1;
    box.originY = static_cast<int>(std::ceil(-minY)) + 1;
    box.width = box.originX + static_cast<int>(std::ceil(maxX)) + 2;
    box.height = box.originY + static_cast<int>(std::ceil(maxY)) + 2;
    return box;
}

WM_InkBox WM_InkBounds(const uint8_t* rows, ptrdiff_t stride, int width, int height)
{
    WM_InkBox box{width, height, 0, 0};
    for (int r = 0; r < height; ++r) {
        int first, last;
        RowInk(rows + r * stride, width, &first, &last);
        if (first > last)
            continue;
        box.left = std::min(box.left, first);
        box.right = std::max(box.right, last + 1);
        box.top = std::min(box.top, r);
        box.bottom = r + 1;
    }
    if (box.right <= box.left)
        return WM_InkBox{0, 0, 0, 0};
    return box;
}

WM_TopOffset WM_TopOffsetFor(int ascent, int escapement)
{
    if (escapement == 0)
        return {0.0, static_cast<double>(ascent), 0.0, 0.0};
    const double angle = escapement * kPi / 1800;
    const double x = ascent * std::sin(angle), y = ascent * std::cos(angle);
    return {x, y, Slack(x), Slack(y)};
}

bool WM_OriginShift(int p, double offset, double slack, int* shift)
{
    const int low = static_cast<int>(p + (offset - slack));
    const int mid = static_cast<int>(p + offset);
    const int high = static_cast<int>(p + (offset + slack));
    *shift = mid - p;
    return low == mid && mid == high;
}
