// Texts of the fax page that are decided without Windows: the cover message
// file's bytes become the lines to draw; the "From: " line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The message is read into a line buffer of this many units, terminator included.
constexpr size_t kCoverLineUnits = 1000;

// The "From: " line shares a 260-unit buffer with its terminator.
constexpr size_t kFromLineUnits = 260;

struct CoverMessageLine {
    std::u16string text;  // without the CR LF that ended it
    int y;                // 1/600 inch
};

// The cover message being split into lines as its bytes arrive, so a file of
// any size is read in pieces. Only CR LF ends a line; a CR or LF on its own is
// part of the text. The CR LF that ends a line is not drawn: a font shows
// those units as empty boxes. Line i is drawn at firstY + i * step, the last
// line too when it has no CR LF. A line longer than the line buffer keeps its
// first kCoverLineUnits - 1 units and the rest of it, up to its CR LF, is
// dropped.
// Lines whose y would not fit in an int (far below any page) are not produced.
struct CoverMessageSplit {
    std::u16string line;
    size_t units = 0;       // units of this line so far, dropped ones included
    char16_t previous = 0;  // last unit of this line, kept even when dropped
    int pendingByte = -1;   // low byte of a unit whose high byte has not arrived
    long long y = 0;
    int step = 0;
};

CoverMessageSplit FAX_StartCoverMessage(int firstY, int step);

// Feeds the next bytes of the file (after its two-byte mark), little-endian
// units; appends the lines they complete to lines.
void FAX_FeedCoverMessage(CoverMessageSplit& split, const unsigned char* bytes, size_t size,
                          std::vector<CoverMessageLine>* lines);

// At end of file: appends the last line if it has no CR LF. An odd last byte
// is no unit and is dropped.
void FAX_EndCoverMessage(CoverMessageSplit& split, std::vector<CoverMessageLine>* lines);

// "From: " and the sender's name, the name cut so that the whole line fits
// kFromLineUnits with its terminator.
std::u16string FAX_FromLine(std::u16string_view name);
