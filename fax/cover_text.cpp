#include "fax/cover_text.h"

#include <climits>
#include <cstdint>

namespace {

constexpr char16_t kCR = 0x000D;
constexpr char16_t kLF = 0x000A;
constexpr size_t kLineKeep = kCoverLineUnits - 1;

} // namespace

std::u16string FAX_UnitsFromBytes(const unsigned char* bytes, size_t size)
{
    std::u16string units;
    if (!bytes)
        return units;
    units.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2)
        units.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return units;
}

std::vector<CoverMessageLine> FAX_SplitCoverMessage(std::u16string_view units, int firstY, int step)
{
    std::vector<CoverMessageLine> lines;
    std::u16string line;
    // The last unit of this line, kept even when the buffer was full and the
    // unit itself was dropped, so an overlong line still ends at its CR LF.
    char16_t previous = 0;
    int64_t y = firstY;
    for (char16_t unit : units) {
        bool ends = unit == kLF && previous == kCR;
        if (line.size() < kLineKeep)
            line.push_back(unit);
        previous = unit;
        if (!ends)
            continue;
        if (y > INT_MAX || y < INT_MIN)
            return lines;
        lines.push_back({line, static_cast<int>(y)});
        line.clear();
        previous = 0;
        y += step;
    }
    if (!line.empty() && y <= INT_MAX && y >= INT_MIN)
        lines.push_back({line, static_cast<int>(y)});
    return lines;
}

std::u16string FAX_FromLine(std::u16string_view name)
{
    std::u16string text = u"From: ";
    size_t room = kFromLineUnits - 1 - text.size();
    text.append(name.substr(0, room));
    return text;
}
