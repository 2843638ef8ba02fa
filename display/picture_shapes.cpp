#include "display/picture_shapes.h"

#include <cstddef>
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

// One step of a drawing, in 96-DPI pixels.
enum StepKind : uint8_t {
    kStepShape,    // the rectangle x0, y0, x1, y1, filled and outlined in ink
    kStepPolygon,  // the polygon of four corners, filled and outlined in ink
    kStepFill,     // the rectangle x0, y0, x1, y1, filled only
    kStepLine,     // from x0, y0 to x1, y1
    kStepRoller,   // a roller at cx, cy of radius r, outlined, with its light axle
};

struct DrawStep {
    StepKind kind;
    uint8_t colour;
    uint8_t part;  // the part of the printer its pixels belong to
    int16_t v[8];
};

void DrawStepOn(C& c, const DrawStep& s)
{
    const int16_t* v = s.v;
    switch (s.kind) {
    case kStepShape:
        SM_FillShape(c, SM_Rect(v[0], v[1], v[2], v[3]), s.colour, s.part, kColourInk);
        return;
    case kStepPolygon:
        SM_FillShape(c, SM_Poly(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]), s.colour, s.part, kColourInk);
        return;
    case kStepFill:
        SM_FillShape(c, SM_Rect(v[0], v[1], v[2], v[3]), s.colour);
        return;
    case kStepLine:
        SM_DrawLine(c, v[0], v[1], v[2], v[3], s.colour);
        return;
    case kStepRoller:
        SM_FillShape(c, SM_Ellipse(v[0], v[1], v[2], v[2]), s.colour, kPartNone, kColourInk);
        SM_FillShape(c, SM_Ellipse(v[0], v[1], 1, 1), kColourLight);
        return;
    }
}

template <size_t N> void Draw(C& c, const DrawStep (&steps)[N])
{
    for (const DrawStep& s : steps)
        DrawStepOn(c, s);
}

// The printer from the front: front cover folded down onto the cassette,
// showing the toner cartridge, the manual feed unit and the paper path, with
// the rear door open at the back of the opening. Its side faces recede by
// (14, -9).
const DrawStep kUpper[] = {
    // Right-hand faces first; the front faces overlap their edges.
    {kStepPolygon, kColourLight, kPartScannerLid, {34, 12, 48, 3, 152, 3, 138, 12}},
    {kStepPolygon, kColourShade, kPartScannerLid, {138, 12, 152, 3, 152, 11, 138, 20}},
    {kStepPolygon, kColourShade, kPartScanner, {136, 20, 150, 11, 150, 27, 136, 36}},
    {kStepPolygon, kColourShade, kPartBody, {136, 36, 150, 27, 150, 103, 136, 112}},
    {kStepPolygon, kColourShade, kPartPaperCassette, {136, 112, 150, 103, 150, 125, 136, 134}},
    {kStepPolygon, kColourShade, kPartTray2, {136, 134, 150, 125, 150, 148, 136, 157}},
    // Flatbed scanner with its lid and the control panel.
    {kStepShape, kColourBody, kPartScannerLid, {34, 12, 138, 20}},
    {kStepLine, kColourShade, kPartNone, {40, 16, 60, 16}},
    {kStepShape, kColourBody, kPartScanner, {36, 20, 136, 36}},
    {kStepPolygon, kColourLight, kPartControlPanel, {88, 23, 134, 23, 134, 35, 86, 35}},
    {kStepShape, kColourBlue, kPartControlPanel, {92, 25, 110, 33}},
    {kStepLine, kColourWhite, kPartNone, {94, 27, 104, 27}},
    {kStepLine, kColourWhite, kPartNone, {94, 30, 100, 30}},
    {kStepShape, kColourShade, kPartControlPanel, {114, 27, 117, 30}},
    {kStepShape, kColourShade, kPartControlPanel, {119, 27, 122, 30}},
    {kStepShape, kColourShade, kPartControlPanel, {124, 27, 127, 30}},
    {kStepShape, kColourGreen, kPartControlPanel, {129, 27, 132, 30}},
    {kStepShape, kColourShade, kPartControlPanel, {114, 31, 127, 33}},
    // Engine front with the output bay under the scanner.
    {kStepShape, kColourBody, kPartBody, {36, 36, 136, 112}},
    {kStepShape, kColourInside, kPartOutputTray, {44, 38, 128, 54}},
    {kStepFill, kColourDark, kPartNone, {46, 40, 126, 42}},
    {kStepPolygon, kColourWhite, kPartOutputTray, {54, 46, 112, 46, 120, 53, 48, 53}},
    {kStepLine, kColourLight, kPartNone, {70, 49, 96, 49}},
    // The opening behind the front cover.
    {kStepShape, kColourInside, kPartPaperPath, {46, 55, 130, 101}},
    // Rear door, open: daylight through the back of the machine, the door
    // itself folded down outwards at the foot of the opening.
    {kStepShape, kColourWhite, kPartRearCover, {52, 56, 124, 68}},
    {kStepPolygon, kColourLight, kPartRearCover, {56, 68, 120, 68, 114, 60, 62, 60}},
    {kStepLine, kColourShade, kPartNone, {66, 64, 110, 64}},
    {kStepFill, kColourOrange, kPartNone, {84, 61, 92, 63}},
    // Paper path: registration and transfer rollers and the sheet's way up.
    {kStepRoller, kColourDark, kPartNone, {56, 76, 5}},
    {kStepRoller, kColourDark, kPartNone, {70, 88, 6}},
    {kStepRoller, kColourDark, kPartNone, {86, 93, 4}},
    {kStepLine, kColourWhite, kPartNone, {50, 97, 60, 84}},
    {kStepLine, kColourWhite, kPartNone, {60, 84, 76, 74}},
    {kStepLine, kColourWhite, kPartNone, {76, 74, 95, 70}},
    {kStepLine, kColourWhite, kPartNone, {62, 98, 78, 90}},
    {kStepLine, kColourWhite, kPartNone, {78, 90, 100, 86}},
    // Manual feed unit: a small tray with a sheet and its side guides.
    {kStepShape, kColourLight, kPartManualTray, {97, 68, 130, 82}},
    {kStepPolygon, kColourWhite, kPartManualTray, {101, 71, 126, 71, 124, 79, 103, 79}},
    {kStepFill, kColourOrange, kPartNone, {99, 70, 101, 80}},
    {kStepFill, kColourOrange, kPartNone, {126, 70, 128, 80}},
    // Toner cartridge with its handle.
    {kStepShape, kColourToner, kPartTonerCartridge, {104, 83, 130, 100}},
    {kStepFill, kColourDark, kPartNone, {107, 86, 127, 88}},
    {kStepShape, kColourOrange, kPartTonerCartridge, {110, 95, 124, 98}},
    {kStepFill, kColourShade, kPartNone, {107, 90, 127, 93}},
    // Front cover, hinged at the bottom and folded down towards the viewer.
    {kStepPolygon, kColourLight, kPartFrontCover, {46, 101, 130, 101, 138, 112, 38, 112}},
    {kStepLine, kColourShade, kPartNone, {50, 106, 126, 106}},
    {kStepFill, kColourOrange, kPartNone, {82, 108, 98, 110}},
    // Main paper cassette and the optional second tray.
    {kStepShape, kColourBody, kPartPaperCassette, {36, 112, 136, 134}},
    {kStepShape, kColourLight, kPartPaperCassette, {76, 122, 106, 128}},
    {kStepLine, kColourDark, kPartNone, {78, 125, 104, 125}},
    {kStepShape, kColourWhite, kPartPaperCassette, {120, 117, 126, 130}},
    {kStepFill, kColourBlue, kPartNone, {121, 123, 125, 129}},
    {kStepShape, kColourBody, kPartTray2, {36, 134, 136, 157}},
    {kStepShape, kColourLight, kPartTray2, {76, 146, 106, 152}},
    {kStepLine, kColourDark, kPartNone, {78, 149, 104, 149}},
    {kStepShape, kColourDark, kPartTray2, {40, 157, 52, 161}},
    {kStepShape, kColourDark, kPartTray2, {120, 157, 132, 161}},
};

// The printer from the rear and its left side, the manual tray open at the
// front end; its side faces recede by (28, -8). The rear door swings open on
// its left hinge and shows the paper path; below it sits the duplex bay,
// with the duplex unit or a blank plate, then come the door and the tray.
const DrawStep kLowerStart[] = {
    // Left-side faces, seen to the right of the rear face.
    {kStepPolygon, kColourLight, kPartScannerLid, {18, 10, 46, 2, 150, 2, 122, 10}},
    {kStepPolygon, kColourShade, kPartScannerLid, {122, 10, 150, 2, 150, 10, 122, 18}},
    {kStepPolygon, kColourShade, kPartScanner, {120, 18, 148, 10, 148, 24, 120, 32}},
    {kStepPolygon, kColourShade, kPartBody, {120, 32, 148, 24, 148, 100, 120, 108}},
    {kStepPolygon, kColourInside, kPartOutputTray, {138, 30, 148, 27, 148, 40, 138, 43}},
    {kStepPolygon, kColourShade, kPartPaperCassette, {120, 108, 148, 100, 148, 138, 120, 146}},
    {kStepPolygon, kColourShade, kPartTray2, {120, 146, 148, 138, 148, 158, 120, 166}},
    // Manual tray folded out of the front, with a sheet on it.
    {kStepPolygon, kColourLight, kPartManualTray, {146, 74, 168, 70, 168, 76, 146, 82}},
    {kStepPolygon, kColourWhite, kPartManualTray, {150, 72, 166, 69, 166, 72, 150, 75}},
    // Scanner lid with its hinges, scanner body.
    {kStepShape, kColourBody, kPartScannerLid, {18, 10, 122, 18}},
    {kStepShape, kColourDark, kPartScannerLid, {34, 8, 44, 14}},
    {kStepShape, kColourDark, kPartScannerLid, {96, 8, 106, 14}},
    {kStepShape, kColourBody, kPartScanner, {20, 18, 120, 32}},
    // Engine rear face, vents and the power inlet.
    {kStepShape, kColourBody, kPartBody, {20, 32, 120, 108}},
    {kStepLine, kColourShade, kPartNone, {26, 38, 60, 38}},
    {kStepLine, kColourShade, kPartNone, {26, 41, 60, 41}},
    {kStepLine, kColourShade, kPartNone, {26, 44, 60, 44}},
    {kStepLine, kColourShade, kPartNone, {26, 47, 60, 47}},
    {kStepShape, kColourDark, kPartBody, {28, 60, 40, 70}},
    {kStepFill, kColourInk, kPartNone, {31, 63, 37, 67}},
    // Paper path behind the rear door: fuser and exit rollers, the sheet's way.
    {kStepShape, kColourInside, kPartPaperPath, {66, 55, 114, 108}},
    {kStepShape, kColourDark, kPartPaperPath, {88, 60, 110, 72}},
    {kStepFill, kColourOrange, kPartNone, {90, 62, 108, 64}},
    {kStepRoller, kColourDark, kPartNone, {96, 86, 6}},
    {kStepRoller, kColourDark, kPartNone, {104, 100, 4}},
    {kStepLine, kColourWhite, kPartNone, {82, 106, 84, 90}},
    {kStepLine, kColourWhite, kPartNone, {84, 90, 88, 76}},
    {kStepLine, kColourWhite, kPartNone, {88, 76, 98, 58}},
    {kStepLine, kColourWhite, kPartNone, {92, 106, 92, 96}},
    {kStepLine, kColourWhite, kPartNone, {92, 96, 100, 80}},
    // Duplex bay under the door, and the rest of the cassette level.
    {kStepShape, kColourBody, kPartPaperCassette, {20, 108, 120, 146}},
    {kStepShape, kColourLight, kPartPaperCassette, {86, 114, 116, 140}},
    {kStepLine, kColourDark, kPartNone, {90, 127, 112, 127}},
};

// The duplex unit: a return channel up the rear opening, its cover against
// the door hinge, and the reversing section in the bay.
const DrawStep kDuplexUnit[] = {
    {kStepShape, kColourLight, kPartDuplexRearCover, {67, 56, 79, 108}},
    {kStepLine, kColourShade, kPartNone, {73, 60, 73, 104}},
    {kStepFill, kColourOrange, kPartNone, {70, 78, 72, 90}},
    {kStepShape, kColourLight, kPartDuplexUnit, {20, 108, 80, 146}},
    {kStepShape, kColourBody, kPartDuplexUnit, {24, 112, 76, 142}},
    {kStepLine, kColourShade, kPartNone, {28, 116, 48, 116}},
    {kStepLine, kColourShade, kPartNone, {28, 120, 48, 120}},
    {kStepLine, kColourShade, kPartNone, {28, 124, 48, 124}},
    {kStepLine, kColourShade, kPartNone, {28, 128, 48, 128}},
    {kStepLine, kColourShade, kPartNone, {28, 132, 48, 132}},
    {kStepLine, kColourShade, kPartNone, {28, 136, 48, 136}},
    {kStepShape, kColourOrange, kPartDuplexUnit, {54, 122, 72, 130}},
};

// The bay without the unit, closed by a blank plate.
const DrawStep kBlankPlate[] = {
    {kStepShape, kColourBody, kPartDuplexBayCover, {20, 108, 80, 146}},
    {kStepShape, kColourLight, kPartDuplexBayCover, {24, 112, 76, 142}},
    {kStepFill, kColourShade, kPartNone, {44, 125, 56, 129}},
};

const DrawStep kLowerEnd[] = {
    // Rear door, swung open towards the viewer on its left hinge.
    {kStepPolygon, kColourLight, kPartRearCover, {66, 55, 66, 108, 43, 113, 43, 50}},
    {kStepLine, kColourShade, kPartNone, {50, 60, 50, 104}},
    {kStepFill, kColourOrange, kPartNone, {58, 78, 62, 90}},
    // Second tray and feet.
    {kStepShape, kColourBody, kPartTray2, {20, 146, 120, 166}},
    {kStepShape, kColourLight, kPartTray2, {54, 152, 86, 158}},
    {kStepShape, kColourDark, kPartTray2, {24, 166, 36, 170}},
    {kStepShape, kColourDark, kPartTray2, {104, 166, 116, 170}},
};

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
    if (picture == kPictureUpper) {
        Draw(c, kUpper);
        return c;
    }
    Draw(c, kLowerStart);
    if (picture == kPictureLowerDuplex)
        Draw(c, kDuplexUnit);
    else
        Draw(c, kBlankPlate);
    Draw(c, kLowerEnd);
    return c;
}
