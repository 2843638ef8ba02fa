// Where the watermark text goes: the box of the rotated text, the reference
// point inside it, and the copies (one centred, or a grid over the area).
// Pixels of the target context; the device does the rotation itself.
#pragma once

#include <cstdint>
#include <functional>

struct WM_Size {
    int cx;
    int cy;
};

struct WM_TextLayout {
    int iEscapement;       // tenths of a degree, 0-3599
    double cosA;           // |cos| and |sin| of the angle
    double sinA;
    WM_Size szText;        // the unrotated extent
    WM_Size szRotateText;  // the box the rotated text is given
    int iStartX;           // the text's top-left corner (before rotation) in that box
    int iStartY;
};

// Font height in tenths of a point: the 16-bit product of size and scale.
unsigned WM_FontHeight(unsigned fontSize, int fontSizeScale);

// Angle in tenths of a degree; 360 degrees is 0.
int WM_Escapement(unsigned angleDegree);

// Character cell height in pixels for a device point y (tenths of a point
// already turned into device units).
int WM_LogFontHeight(int y);

WM_TextLayout WM_LayoutText(int iEscapement, WM_Size szText);

// Calls draw(x, y) with each position to draw the text at, relative to the
// drawing rectangle's top-left corner. placement 0: one copy, centred;
// 1: tiled over drawW x drawH. textUnits is the length of the text.
void WM_ForEachCopy(const WM_TextLayout& layout, int drawW, int drawH, unsigned placement,
                    int textUnits, const std::function<void(int x, int y)>& draw);
