#include "display/picture_shapes.h"

#include <cstring>

#include "display/status_items.h"

const uint32_t kPicturePalette[kPictureColours] = {
    0x000000,  // transparent
    0x343840,  // outline
    0xE9EBEE,  // body
    0xFCFCFC,  // white, paper
    0xD0D3D8,  // light grey panels
    0xB6BAC0,  // shade
    0x787E86,  // inside of the machine
    0x565B63,  // rollers, slots
    0x4682C8,  // accent blue: display, the logo
    0xEC8E30,  // accent orange: release levers, handles
    0x48A85C,  // accent green: power lamp
    0x40444C,  // toner cartridge body
    0xF0F0F0,  // logo background
};

namespace {

using C = PictureCanvas;

// A filled shape with its outline in ink.
void Shape(C& c, const PictureShape& s, uint8_t colour, uint8_t part = kPartNone)
{
    SM_FillShape(c, s, colour, part, kColourInk);
}

// The receding side face to the right of a front face edge at x.
PictureShape Side(int x, int y0, int y1, int dx, int dy)
{
    return SM_Poly(x, y0, x + dx, y0 + dy, x + dx, y1 + dy, x, y1);
}

void Roller(C& c, int cx, int cy, int r)
{
    Shape(c, SM_Ellipse(cx, cy, r, r), kColourDark);
    SM_FillShape(c, SM_Ellipse(cx, cy, 1, 1), kColourLight);
}

// Lines through the points in turn; points holds count (x, y) pairs.
void Polyline(C& c, const int* points, int count, uint8_t colour)
{
    for (int i = 0; i + 1 < count; ++i)
        SM_DrawLine(c, points[2 * i], points[2 * i + 1], points[2 * i + 2], points[2 * i + 3], colour);
}

// The printer from the front: front cover folded down onto the cassette,
// showing the toner cartridge, the manual feed unit and the paper path, with
// the rear door open at the back of the opening.
void DrawUpper(C& c)
{
    const int dx = 14, dy = -9;

    // Right-hand faces first; the front faces overlap their edges.
    Shape(c, SM_Poly(34, 12, 48, 3, 152, 3, 138, 12), kColourLight, kPartScannerLid);
    Shape(c, Side(138, 12, 20, dx, dy), kColourShade, kPartScannerLid);
    Shape(c, Side(136, 20, 36, dx, dy), kColourShade, kPartScanner);
    Shape(c, Side(136, 36, 112, dx, dy), kColourShade, kPartBody);
    Shape(c, Side(136, 112, 134, dx, dy), kColourShade, kPartPaperCassette);
    Shape(c, Side(136, 134, 157, dx, dy), kColourShade, kPartTray2);

    // Flatbed scanner with its lid and the control panel.
    Shape(c, SM_Rect(34, 12, 138, 20), kColourBody, kPartScannerLid);
    SM_DrawLine(c, 40, 16, 60, 16, kColourShade);
    Shape(c, SM_Rect(36, 20, 136, 36), kColourBody, kPartScanner);
    Shape(c, SM_Poly(88, 23, 134, 23, 134, 35, 86, 35), kColourLight, kPartControlPanel);
    Shape(c, SM_Rect(92, 25, 110, 33), kColourBlue, kPartControlPanel);
    SM_DrawLine(c, 94, 27, 104, 27, kColourWhite);
    SM_DrawLine(c, 94, 30, 100, 30, kColourWhite);
    for (int bx : {114, 119, 124})
        Shape(c, SM_Rect(bx, 27, bx + 3, 30), kColourShade, kPartControlPanel);
    Shape(c, SM_Rect(129, 27, 132, 30), kColourGreen, kPartControlPanel);
    Shape(c, SM_Rect(114, 31, 127, 33), kColourShade, kPartControlPanel);

    // Engine front with the output bay under the scanner.
    Shape(c, SM_Rect(36, 36, 136, 112), kColourBody, kPartBody);
    Shape(c, SM_Rect(44, 38, 128, 54), kColourInside, kPartOutputTray);
    SM_FillShape(c, SM_Rect(46, 40, 126, 42), kColourDark);
    Shape(c, SM_Poly(54, 46, 112, 46, 120, 53, 48, 53), kColourWhite, kPartOutputTray);
    SM_DrawLine(c, 70, 49, 96, 49, kColourLight);

    // The opening behind the front cover.
    Shape(c, SM_Rect(46, 55, 130, 101), kColourInside, kPartPaperPath);

    // Rear door, open: daylight through the back of the machine, the door
    // itself folded down outwards at the foot of the opening.
    Shape(c, SM_Rect(52, 56, 124, 68), kColourWhite, kPartRearCover);
    Shape(c, SM_Poly(56, 68, 120, 68, 114, 60, 62, 60), kColourLight, kPartRearCover);
    SM_DrawLine(c, 66, 64, 110, 64, kColourShade);
    SM_FillShape(c, SM_Rect(84, 61, 92, 63), kColourOrange);

    // Paper path: registration and transfer rollers and the sheet's way up.
    Roller(c, 56, 76, 5);
    Roller(c, 70, 88, 6);
    Roller(c, 86, 93, 4);
    const int sheet[] = {50, 97, 60, 84, 76, 74, 95, 70};
    Polyline(c, sheet, 4, kColourWhite);
    const int second[] = {62, 98, 78, 90, 100, 86};
    Polyline(c, second, 3, kColourWhite);

    // Manual feed unit: a small tray with a sheet and its side guides.
    Shape(c, SM_Rect(97, 68, 130, 82), kColourLight, kPartManualTray);
    Shape(c, SM_Poly(101, 71, 126, 71, 124, 79, 103, 79), kColourWhite, kPartManualTray);
    SM_FillShape(c, SM_Rect(99, 70, 101, 80), kColourOrange);
    SM_FillShape(c, SM_Rect(126, 70, 128, 80), kColourOrange);

    // Toner cartridge with its handle.
    Shape(c, SM_Rect(104, 83, 130, 100), kColourToner, kPartTonerCartridge);
    SM_FillShape(c, SM_Rect(107, 86, 127, 88), kColourDark);
    Shape(c, SM_Rect(110, 95, 124, 98), kColourOrange, kPartTonerCartridge);
    SM_FillShape(c, SM_Rect(107, 90, 127, 93), kColourShade);

    // Front cover, hinged at the bottom and folded down towards the viewer.
    Shape(c, SM_Poly(46, 101, 130, 101, 138, 112, 38, 112), kColourLight, kPartFrontCover);
    SM_DrawLine(c, 50, 106, 126, 106, kColourShade);
    SM_FillShape(c, SM_Rect(82, 108, 98, 110), kColourOrange);

    // Main paper cassette and the optional second tray.
    Shape(c, SM_Rect(36, 112, 136, 134), kColourBody, kPartPaperCassette);
    Shape(c, SM_Rect(76, 122, 106, 128), kColourLight, kPartPaperCassette);
    SM_DrawLine(c, 78, 125, 104, 125, kColourDark);
    Shape(c, SM_Rect(120, 117, 126, 130), kColourWhite, kPartPaperCassette);
    SM_FillShape(c, SM_Rect(121, 123, 125, 129), kColourBlue);
    Shape(c, SM_Rect(36, 134, 136, 157), kColourBody, kPartTray2);
    Shape(c, SM_Rect(76, 146, 106, 152), kColourLight, kPartTray2);
    SM_DrawLine(c, 78, 149, 104, 149, kColourDark);
    Shape(c, SM_Rect(40, 157, 52, 161), kColourDark, kPartTray2);
    Shape(c, SM_Rect(120, 157, 132, 161), kColourDark, kPartTray2);
}

// The duplex unit: a return channel up the rear opening, its cover against
// the door hinge, and the reversing section in the bay.
void DrawDuplexUnit(C& c)
{
    Shape(c, SM_Rect(67, 56, 79, 108), kColourLight, kPartDuplexRearCover);
    SM_DrawLine(c, 73, 60, 73, 104, kColourShade);
    SM_FillShape(c, SM_Rect(70, 78, 72, 90), kColourOrange);
    Shape(c, SM_Rect(20, 108, 80, 146), kColourLight, kPartDuplexUnit);
    Shape(c, SM_Rect(24, 112, 76, 142), kColourBody, kPartDuplexUnit);
    for (int vy = 116; vy < 140; vy += 4)
        SM_DrawLine(c, 28, vy, 48, vy, kColourShade);
    Shape(c, SM_Rect(54, 122, 72, 130), kColourOrange, kPartDuplexUnit);
}

void DrawBlankPlate(C& c)
{
    Shape(c, SM_Rect(20, 108, 80, 146), kColourBody, kPartDuplexBayCover);
    Shape(c, SM_Rect(24, 112, 76, 142), kColourLight, kPartDuplexBayCover);
    SM_FillShape(c, SM_Rect(44, 125, 56, 129), kColourShade);
}

// The printer from the rear and its left side, the manual tray open at the
// front end. The rear door swings open on its left hinge and shows the paper
// path; below it sits the duplex bay, with the duplex unit or a blank plate.
void DrawLower(C& c, bool duplex)
{
    const int dx = 28, dy = -8;

    // Left-side faces, seen to the right of the rear face.
    Shape(c, SM_Poly(18, 10, 46, 2, 150, 2, 122, 10), kColourLight, kPartScannerLid);
    Shape(c, Side(122, 10, 18, dx, dy), kColourShade, kPartScannerLid);
    Shape(c, Side(120, 18, 32, dx, dy), kColourShade, kPartScanner);
    Shape(c, Side(120, 32, 108, dx, dy), kColourShade, kPartBody);
    Shape(c, SM_Poly(138, 30, 148, 27, 148, 40, 138, 43), kColourInside, kPartOutputTray);
    Shape(c, Side(120, 108, 146, dx, dy), kColourShade, kPartPaperCassette);
    Shape(c, Side(120, 146, 166, dx, dy), kColourShade, kPartTray2);

    // Manual tray folded out of the front, with a sheet on it.
    Shape(c, SM_Poly(146, 74, 168, 70, 168, 76, 146, 82), kColourLight, kPartManualTray);
    Shape(c, SM_Poly(150, 72, 166, 69, 166, 72, 150, 75), kColourWhite, kPartManualTray);

    // Scanner lid with its hinges, scanner body.
    Shape(c, SM_Rect(18, 10, 122, 18), kColourBody, kPartScannerLid);
    Shape(c, SM_Rect(34, 8, 44, 14), kColourDark, kPartScannerLid);
    Shape(c, SM_Rect(96, 8, 106, 14), kColourDark, kPartScannerLid);
    Shape(c, SM_Rect(20, 18, 120, 32), kColourBody, kPartScanner);

    // Engine rear face, vents and the power inlet.
    Shape(c, SM_Rect(20, 32, 120, 108), kColourBody, kPartBody);
    for (int vy = 38; vy < 50; vy += 3)
        SM_DrawLine(c, 26, vy, 60, vy, kColourShade);
    Shape(c, SM_Rect(28, 60, 40, 70), kColourDark, kPartBody);
    SM_FillShape(c, SM_Rect(31, 63, 37, 67), kColourInk);

    // Paper path behind the rear door: fuser and exit rollers, the sheet's way.
    Shape(c, SM_Rect(66, 55, 114, 108), kColourInside, kPartPaperPath);
    Shape(c, SM_Rect(88, 60, 110, 72), kColourDark, kPartPaperPath);
    SM_FillShape(c, SM_Rect(90, 62, 108, 64), kColourOrange);
    Roller(c, 96, 86, 6);
    Roller(c, 104, 100, 4);
    const int sheet[] = {82, 106, 84, 90, 88, 76, 98, 58};
    Polyline(c, sheet, 4, kColourWhite);
    const int second[] = {92, 106, 92, 96, 100, 80};
    Polyline(c, second, 3, kColourWhite);

    // Duplex bay under the door, and the rest of the cassette level.
    Shape(c, SM_Rect(20, 108, 120, 146), kColourBody, kPartPaperCassette);
    Shape(c, SM_Rect(86, 114, 116, 140), kColourLight, kPartPaperCassette);
    SM_DrawLine(c, 90, 127, 112, 127, kColourDark);
    if (duplex)
        DrawDuplexUnit(c);
    else
        DrawBlankPlate(c);

    // Rear door, swung open towards the viewer on its left hinge.
    Shape(c, SM_Poly(66, 55, 66, 108, 43, 113, 43, 50), kColourLight, kPartRearCover);
    SM_DrawLine(c, 50, 60, 50, 104, kColourShade);
    SM_FillShape(c, SM_Rect(58, 78, 62, 90), kColourOrange);

    // Second tray and feet.
    Shape(c, SM_Rect(20, 146, 120, 166), kColourBody, kPartTray2);
    Shape(c, SM_Rect(54, 152, 86, 158), kColourLight, kPartTray2);
    Shape(c, SM_Rect(24, 166, 36, 170), kColourDark, kPartTray2);
    Shape(c, SM_Rect(104, 166, 116, 170), kColourDark, kPartTray2);
}

// A blocky pixel face: each letter's rows, '#' inked.
struct Glyph {
    char letter;
    int rows;
    const char* cells[7];
};

const Glyph kGlyphs[] = {
    {'M', 7, {"#...#", "##.##", "#.#.#", "#...#", "#...#", "#...#", "#...#"}},
    {'F', 7, {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'P', 7, {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'S', 5, {"###", "#..", "###", "..#", "###"}},
    {'T', 5, {"###", ".#.", ".#.", ".#.", ".#."}},
    {'A', 5, {"###", "#.#", "###", "#.#", "#.#"}},
    {'U', 5, {"#.#", "#.#", "#.#", "#.#", "###"}},
};

const Glyph* GlyphOf(char letter)
{
    for (const Glyph& g : kGlyphs)
        if (g.letter == letter)
            return &g;
    return nullptr;
}

// Text in the pixel face, each cell size x size 96-DPI pixels.
void DrawText(C& c, const char* text, int x, int y, int size, uint8_t colour)
{
    for (; *text; ++text) {
        const Glyph* g = GlyphOf(*text);
        if (!g)
            continue;
        const int columns = static_cast<int>(std::strlen(g->cells[0]));
        for (int ry = 0; ry < g->rows; ++ry)
            for (int rx = 0; rx < columns; ++rx)
                if (g->cells[ry][rx] == '#')
                    SM_FillShape(c,
                                 SM_Rect(x + rx * size, y + ry * size, x + (rx + 1) * size, y + (ry + 1) * size),
                                 colour);
        x += (columns + 1) * size + (size > 1 ? 1 : 0);
    }
}

// "MFP" large, "STATUS" small beside it, a thin rule below.
void DrawLogo(C& c)
{
    DrawText(c, "MFP", 3, 2, 2, kColourInk);
    DrawText(c, "STATUS", 48, 9, 1, kColourBlue);
    SM_DrawLine(c, 3, 18, 76, 18, kColourBlue);
}

} // namespace

PictureCanvas SM_DrawPicture(StatusPicture picture, int dpi)
{
    if (dpi < kBaseDpi || dpi > kMaxPictureDpi)
        return SM_NewCanvas(0, 0, kColourClear, kBaseDpi);
    if (picture == kPictureLogo) {
        PictureCanvas c = SM_NewCanvas(80, 20, kColourLogoBackground, dpi);
        DrawLogo(c);
        return c;
    }
    PictureCanvas c = SM_NewCanvas(kPictureSize, kPictureSize, kColourClear, dpi);
    if (picture == kPictureUpper)
        DrawUpper(c);
    else
        DrawLower(c, picture == kPictureLowerDuplex);
    return c;
}
