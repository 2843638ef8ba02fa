// The three cover page forms (A4, B4, A3): 19 records each, twelve texts and
// seven ruled lines, plus where the message block goes. The tables hold the
// geometry only; the texts are filled from the fax settings file each time a
// page is drawn.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

constexpr uint8_t kCoverText = 1;
constexpr uint8_t kCoverLine = 2;
constexpr size_t kCoverRecords = 19;
constexpr size_t kCoverTextRecords = 12;  // records 0-11 are texts
constexpr size_t kCoverTextUnits = 260;

// A text: size in points, (x, y) in 1/600 inch. A line: size is the pen
// width in pixels, x across in pixels, y down in pairs of pixel rows.
struct CoverPageRecord {
    uint8_t kind;
    int32_t size;
    int32_t x;
    int32_t y;
    int32_t x2;
    int32_t y2;
    int32_t style;
    char16_t text[kCoverTextUnits];
};

using CoverPageTemplate = std::array<CoverPageRecord, kCoverRecords>;

// The user's message: lines at x, from firstY down in steps, in fontSize points.
struct CoverMessageBlock {
    int x;
    int firstY;
    int step;
    int fontSize;
};

struct CoverPageForm {
    CoverPageTemplate records;
    CoverMessageBlock message;
};

extern const CoverPageForm kCoverPageA4;
extern const CoverPageForm kCoverPageB4;
extern const CoverPageForm kCoverPageA3;

// Where the text of record 0-11 comes from: a key of the fax settings file and
// the text used when the file or the key is missing.
struct CoverTextSource {
    const char16_t* section;
    const char16_t* key;
    const char16_t* fallback;
};

// The source of text record i (0-11); a record past 11 has none (all null).
CoverTextSource FAX_CoverTextSource(size_t record);
