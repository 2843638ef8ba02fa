#include "fax/cover_text.h"

#include <algorithm>
#include <climits>

namespace {

constexpr char16_t kCR = 0x000D;
constexpr char16_t kLF = 0x000A;
constexpr size_t kLineKeep = kCoverLineUnits - 1;

void AddUnit(CoverMessageSplit& split, char16_t unit, std::vector<CoverMessageLine>* lines)
{
    bool ends = unit == kLF && split.previous == kCR;
    if (split.line.size() < kLineKeep)
        split.line.push_back(unit);
    ++split.units;
    split.previous = unit;
    if (!ends)
        return;
    // The CR LF took the last two places of the line, kept or dropped.
    split.line.resize(std::min(split.line.size(), split.units - 2));
    if (split.y <= INT_MAX && split.y >= INT_MIN)
        lines->push_back({split.line, static_cast<int>(split.y)});
    split.line.clear();
    split.units = 0;
    split.previous = 0;
    split.y += split.step;
}

} // namespace

CoverMessageSplit FAX_StartCoverMessage(int firstY, int step)
{
    CoverMessageSplit split;
    split.y = firstY;
    split.step = step;
    return split;
}

void FAX_FeedCoverMessage(CoverMessageSplit& split, const unsigned char* bytes, size_t size,
                          std::vector<CoverMessageLine>* lines)
{
    for (size_t i = 0; bytes && i < size; ++i) {
        if (split.pendingByte < 0) {
            split.pendingByte = bytes[i];
            continue;
        }
        AddUnit(split, static_cast<char16_t>(split.pendingByte | (bytes[i] << 8)), lines);
        split.pendingByte = -1;
    }
}

void FAX_EndCoverMessage(CoverMessageSplit& split, std::vector<CoverMessageLine>* lines)
{
    if (!split.line.empty() && split.y <= INT_MAX && split.y >= INT_MIN)
        lines->push_back({split.line, static_cast<int>(split.y)});
    split.line.clear();
    split.units = 0;
    split.pendingByte = -1;
}

std::u16string FAX_FromLine(std::u16string_view name)
{
    std::u16string text = u"From: ";
    size_t room = kFromLineUnits - 1 - text.size();
    text.append(name.substr(0, room));
    return text;
}
