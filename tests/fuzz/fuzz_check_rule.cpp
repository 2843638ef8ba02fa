// The character rule of the prompts: only the given number of units is read
// (the text lies in a block of exactly that size, so a read past it is an
// overrun), and the answer per unit and for the whole text equals a plain
// check of the documented rule of each kind.
#include <cwctype>
#include <memory>

#include "prompts/check_rule.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

bool AmongUnits(char16_t unit, std::u16string_view allowed)
{
    return allowed.find(unit) != std::u16string_view::npos;
}

bool ReferencePasses(char16_t unit, unsigned kind)
{
    static constexpr std::u16string_view kDigits = u"0123456789";
    static constexpr std::u16string_view kLetters = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    switch (kind) {
    case 0:
        return unit >= 0x20 && unit <= 0x7E;
    case 1:
        return std::iswalpha(static_cast<wint_t>(unit)) == 0;
    case 2:
        return std::iswdigit(static_cast<wint_t>(unit)) == 0;
    case 3:
        return AmongUnits(unit, kDigits) || AmongUnits(unit, kLetters) || AmongUnits(unit, u".-_@; #");
    case 4:
        return AmongUnits(unit, kDigits) || AmongUnits(unit, u"Pp!*#");
    case 5:
        return unit != u'|';
    default:
        return true;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // Kinds 0-7 mostly; a high bit picks a large kind, which accepts all.
    unsigned kind = data[0] & 0x80 ? 0xFFFFFF00u | data[0] : data[0] & 7u;
    std::u16string units = FuzzUnits(data + 1, size - 1);
    size_t length = units.size();
    std::unique_ptr<char16_t[]> block(new char16_t[length]);
    units.copy(block.get(), length);

    size_t expected = 0;
    while (expected < length && ReferencePasses(units[expected], kind))
        ++expected;
    for (size_t i = 0; i < length; ++i)
        FUZZ_CHECK(MISC_UnitPasses(units[i], kind) == ReferencePasses(units[i], kind));
    FUZZ_CHECK(MISC_PassingPrefix(block.get(), length, kind) == expected);
    FUZZ_CHECK(MISC_PassingPrefix(nullptr, length, kind) == 0);
    return 0;
}
