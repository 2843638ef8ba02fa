// Texts of the fax page that are decided without Windows: the cover message
// file's bytes become units and then the lines to draw; the "From: " line.
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
    std::u16string text;  // as drawn: a complete line keeps its CR LF
    int y;                // 1/600 inch
};

// Little-endian UTF-16 units of bytes; an odd last byte is no unit and is dropped.
std::u16string FAX_UnitsFromBytes(const unsigned char* bytes, size_t size);

// Splits the units after the file's mark into the lines to draw. Only CR LF
// ends a line; a CR or LF on its own is part of the text. Line i is drawn at
// firstY + i * step, the last line too when it has no CR LF. A line longer
// than the line buffer keeps its first kCoverLineUnits - 1 units and the rest
// of it, up to its CR LF, is dropped. Lines whose y would not fit in an int
// (far below any page) are not produced.
std::vector<CoverMessageLine> FAX_SplitCoverMessage(std::u16string_view units, int firstY, int step);

// "From: " and the sender's name, the name cut so that the whole line fits
// kFromLineUnits with its terminator.
std::u16string FAX_FromLine(std::u16string_view name);
