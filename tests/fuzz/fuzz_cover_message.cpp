// The cover message line splitter: the file's bytes, fed in pieces of any
// size, give the same lines as a plain split of the whole file at CR LF. No
// line is longer than 999 units, line i lies at firstY + i * step (lines whose
// y leaves the int range are skipped, not shifted), and an odd last byte is
// dropped.
#include <climits>
#include <cstring>

#include "fax/cover_text.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

struct Layout {
    int firstY;
    int step;
};

// The lines a reader of the whole file expects.
std::vector<CoverMessageLine> ReferenceLines(const std::u16string& units, Layout layout)
{
    std::vector<CoverMessageLine> lines;
    long long index = 0;
    auto add = [&](std::u16string text) {
        long long y = layout.firstY + index * static_cast<long long>(layout.step);
        if (y >= INT_MIN && y <= INT_MAX)
            lines.push_back({text.substr(0, kCoverLineUnits - 1), static_cast<int>(y)});
        ++index;
    };
    size_t start = 0;
    for (size_t i = 0; i < units.size(); ++i) {
        if (units[i] == u'\n' && i > start && units[i - 1] == u'\r') {
            add(units.substr(start, i - 1 - start));
            start = i + 1;
        }
    }
    if (start < units.size())
        add(units.substr(start));
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Header: first y, step, and the seed of the piece sizes.
    constexpr size_t kHeader = 9;
    if (size < kHeader)
        return 0;
    Layout layout;
    std::memcpy(&layout.firstY, data, 4);
    std::memcpy(&layout.step, data + 4, 4);
    unsigned pieces = data[8];
    data += kHeader;
    size -= kHeader;

    CoverMessageSplit split = FAX_StartCoverMessage(layout.firstY, layout.step);
    std::vector<CoverMessageLine> lines;
    size_t at = 0;
    while (at < size) {
        size_t piece = pieces == 0 ? size - at : 1 + (at * 7 + pieces) % (2 * pieces);
        if (piece > size - at)
            piece = size - at;
        FAX_FeedCoverMessage(split, data + at, piece, &lines);
        at += piece;
    }
    FAX_EndCoverMessage(split, &lines);

    std::vector<CoverMessageLine> expected = ReferenceLines(FuzzUnits(data, size), layout);
    FUZZ_CHECK(lines.size() == expected.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        FUZZ_CHECK(lines[i].text.size() < kCoverLineUnits);
        FUZZ_CHECK(lines[i].text == expected[i].text);
        FUZZ_CHECK(lines[i].y == expected[i].y);
    }
    return 0;
}
