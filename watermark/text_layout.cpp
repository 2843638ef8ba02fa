#include "watermark/text_layout.h"

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;

// Steps of the tiling grid: one row passes through the centred position and
// the first row starts above the top edge.
void ForEachTile(const WM_TextLayout& l, int drawW, int drawH, int centerH, int textUnits,
                 const std::function<void(int, int)>& draw)
{
    const int txtSpace = l.szRotateText.cx / textUnits;
    const int maxMoveH = l.szText.cx;
    float fMoveH = static_cast<float>(l.szText.cx);
    if (l.cosA >= 0.001f) {
        fMoveH = static_cast<float>((l.szText.cy + 1) / l.cosA);
        if (fMoveH > maxMoveH)
            fMoveH = static_cast<float>(maxMoveH);
    }
    const int step = static_cast<int>(fMoveH);
    if (step <= 0)
        return;
    const int firstY = centerH - step * ((centerH + step - 1) / step) - l.szRotateText.cy;
    int x = 0;
    do {
        int moveY = firstY;
        do {
            draw(x + l.iStartX, moveY + l.iStartY);
            moveY += step + txtSpace;
        } while (moveY < drawH);
        x += l.szRotateText.cx + txtSpace;
    } while (x < drawW);
}

} // namespace

unsigned WM_FontHeight(unsigned fontSize, int fontSizeScale)
{
    return (fontSize * static_cast<unsigned>(fontSizeScale)) % 65536u;
}

int WM_Escapement(unsigned angleDegree)
{
    return static_cast<int>(angleDegree * 10 % 3600);
}

int WM_LogFontHeight(int y)
{
    return static_cast<int>(std::fabs(static_cast<float>(y)) / 10.0 + 0.5);
}

WM_TextLayout WM_LayoutText(int iEscapement, WM_Size szText)
{
    WM_TextLayout l{};
    l.iEscapement = iEscapement;
    l.szText = szText;
    const double angle = iEscapement * kPi / 1800;
    l.cosA = std::fabs(std::cos(angle));
    l.sinA = std::fabs(std::sin(angle));
    // The text height counts only at right angles; at other angles the box
    // is the rotated baseline alone.
    const bool rightAngle = iEscapement % 900 == 0;
    l.szRotateText.cx = static_cast<int>(l.cosA * szText.cx) +
                        (rightAngle ? static_cast<int>(l.sinA * szText.cy) : 0);
    l.szRotateText.cy = static_cast<int>(l.sinA * szText.cx) +
                        (rightAngle ? static_cast<int>(szText.cy * l.cosA) : 0);
    const int alongX = static_cast<int>(szText.cx * l.cosA);
    const int alongY = static_cast<int>(szText.cx * l.sinA);
    if (iEscapement <= 900) {
        l.iStartX = 0;
        l.iStartY = alongY;
    } else if (iEscapement <= 1800) {
        l.iStartX = alongX;
        l.iStartY = l.szRotateText.cy;
    } else if (iEscapement <= 2700) {
        l.iStartX = l.szRotateText.cx;
        l.iStartY = l.szRotateText.cy - alongY;
    } else {
        l.iStartX = l.szRotateText.cx - alongX;
        l.iStartY = 0;
    }
    return l;
}

void WM_ForEachCopy(const WM_TextLayout& layout, int drawW, int drawH, unsigned placement,
                    int textUnits, const std::function<void(int x, int y)>& draw)
{
    if (drawW == 0 || drawH == 0 || textUnits <= 0)
        return;
    if (layout.szRotateText.cx == 0 || layout.szRotateText.cy == 0)
        return;
    const int centerH = (drawH - layout.szRotateText.cy) / 2;
    if (placement == 0) {
        draw(layout.iStartX + (drawW - layout.szRotateText.cx) / 2, layout.iStartY + centerH);
        return;
    }
    ForEachTile(layout, drawW, drawH, centerH, textUnits, draw);
}
