#include "fax/cover_geometry.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int64_t kFaxDpiX = 204;
constexpr int64_t kFaxDpiY = 196;
constexpr int64_t kPosUnitsPerInch = 600;

// The results of the conversions below are smaller than their inputs, so the
// 64-bit product is the only place that could overflow in 32 bits.
int Scale(int value, int64_t mul, int64_t div)
{
    return static_cast<int>(static_cast<int64_t>(value) * mul / div);
}

} // namespace

FaxPoint FAX_PosToPixel(int x, int y)
{
    return {Scale(x, kFaxDpiX, kPosUnitsPerInch), Scale(y, kFaxDpiY, kPosUnitsPerInch)};
}

int FAX_LineRow(int y)
{
    return 2 * y;
}

int FAX_ResolutionFromSize(int pixels, int millimetres)
{
    if (pixels <= 0 || millimetres <= 0)
        return 0;
    double dpi = static_cast<double>(pixels) * static_cast<double>(25.4f) / millimetres;
    return dpi < INT_MAX ? static_cast<int>(dpi) : 0;
}

int FAX_TenthsToPoint(int dpi, int tenths)
{
    int64_t point = static_cast<int64_t>(dpi) * tenths / 72;
    if (point > INT_MAX || point < -INT_MAX)
        return 0;
    return static_cast<int>(point);
}

int FAX_FirstFontHeight(int pointY)
{
    float size = static_cast<float>(std::llabs(static_cast<long long>(pointY)));
    return static_cast<int>(size / 10.0f + 0.5f);
}

int FAX_FinalFontHeight(int firstHeight)
{
    return Scale(firstHeight, kFaxDpiY, kFaxDpiX);
}
