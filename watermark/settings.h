// The watermark settings record as the driver stores it in the job INI file,
// and the range checks the job applies before drawing anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr int WM_TEXT_MAX_LEN = 260;      // wmText and wmFileName, in units
constexpr int WM_FONTFACE_MAX_LEN = 32;

#pragma pack(push, 1)

// The watermark description: the part of the record the driver's watermark
// page edits. Reserved ranges belong to the driver and keep later fields in place.
struct TyWM {
    uint8_t reserved0[132];
    char16_t wmText[WM_TEXT_MAX_LEN];
    uint8_t reserved1[2];
    uint16_t wDensity;
    char16_t wmFaceName[WM_FONTFACE_MAX_LEN];
    uint16_t wFontSize;
    uint16_t wStyle;
    uint16_t wAngleDegree;
    uint16_t wPlacement;
    uint8_t reserved2[1052];
    int16_t xShift;
    int16_t yShift;
};

// The whole record of one watermark job.
struct JobWM {
    TyWM wm;
    int32_t nWidth;
    int32_t nHeight;
    int32_t nDstScale;
    int32_t nPageDensity;
    int32_t nMaxPageDensity;
    int32_t nTextScale;
    int32_t nTableW;
    int32_t nTableH;
    char16_t wmFileName[WM_TEXT_MAX_LEN];
    uint32_t HalftoneType;
    uint32_t DriverType;
    uint8_t reserved3[4];
};

#pragma pack(pop)

static_assert(offsetof(TyWM, wmText) == 132);
static_assert(offsetof(TyWM, wDensity) == 654);
static_assert(offsetof(TyWM, wmFaceName) == 656);
static_assert(offsetof(TyWM, wFontSize) == 720);
static_assert(offsetof(TyWM, wStyle) == 722);
static_assert(offsetof(TyWM, wAngleDegree) == 724);
static_assert(offsetof(TyWM, wPlacement) == 726);
static_assert(offsetof(TyWM, xShift) == 1780);
static_assert(offsetof(TyWM, yShift) == 1782);
static_assert(sizeof(TyWM) == 1784);
static_assert(offsetof(JobWM, nWidth) == 1784);
static_assert(offsetof(JobWM, nHeight) == 1788);
static_assert(offsetof(JobWM, nDstScale) == 1792);
static_assert(offsetof(JobWM, nPageDensity) == 1796);
static_assert(offsetof(JobWM, nMaxPageDensity) == 1800);
static_assert(offsetof(JobWM, nTextScale) == 1804);
static_assert(offsetof(JobWM, nTableW) == 1808);
static_assert(offsetof(JobWM, nTableH) == 1812);
static_assert(offsetof(JobWM, wmFileName) == 1816);
static_assert(offsetof(JobWM, HalftoneType) == 2336);
static_assert(offsetof(JobWM, DriverType) == 2340);
static_assert(sizeof(JobWM) == 2348);

constexpr uint32_t WM_DRIVER_FAX = 0x200;  // DriverType bit of a fax driver
constexpr int WM_RANGE_ERROR = -11;

// Checks the fields in the job's order. Returns 1 when all are in range;
// otherwise -11, with the trace message of the first field out of range.
int WM_CheckSettings(const JobWM& job, std::u16string* error);

// nTextScale as the factor the drawing uses.
float WM_TextScale(const JobWM& job);
