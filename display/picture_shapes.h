// The pictures of the status dialog, drawn from their shapes at any DPI:
// the logo, the printer from the front (covers open) and the printer from
// the rear (manual tray open), plain or with the duplex unit fitted.
//
// The dialog blits a picture by ANDing its mask over the background and
// XORing the image on top, so transparent pixels are palette index 0, black.
// The two rear views share one mask, so they are drawn with one outline: the
// duplex unit fills a bay that the plain view closes with a blank plate.
#pragma once

#include <cstdint>

#include "display/picture_canvas.h"

enum StatusPicture : int {
    kPictureLogo,        // 80 x 20 at 96 DPI, opaque
    kPictureUpper,       // 170 x 170
    kPictureLower,       // 170 x 170
    kPictureLowerDuplex, // 170 x 170, the same outline as kPictureLower
};

// Palette index 0 is the transparent black the XOR blit needs; nothing
// opaque uses it.
enum PictureColour : uint8_t {
    kColourClear, kColourInk, kColourBody, kColourWhite, kColourLight, kColourShade, kColourInside,
    kColourDark, kColourBlue, kColourOrange, kColourGreen, kColourToner, kColourLogoBackground,
    kPictureColours
};
extern const uint32_t kPicturePalette[kPictureColours];  // 0x00RRGGBB

// The parts of the printer a pixel can belong to; the dots of the status
// item table must land on the part their error names.
enum PrinterPart : uint8_t {
    kPartNone, kPartScannerLid, kPartScanner, kPartControlPanel, kPartBody, kPartOutputTray, kPartPaperPath,
    kPartRearCover, kPartManualTray, kPartTonerCartridge, kPartFrontCover, kPartPaperCassette, kPartTray2,
    kPartDuplexRearCover, kPartDuplexUnit, kPartDuplexBayCover,
};

// The pictures are drawn for DPIs from 96 to 480 (500 %); above that the
// dialog stretches a smaller one.
constexpr int kMaxPictureDpi = 480;

// The picture drawn at the DPI; an empty canvas (width 0) outside 96-480.
PictureCanvas SM_DrawPicture(StatusPicture picture, int dpi);
