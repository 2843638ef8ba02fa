#include "prompts/check_rule.h"

#include <cwctype>

namespace {

bool IsAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool IsAsciiLetter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool IsIdUnit(char16_t c)
{
    switch (c) {
    case u'.': case u'-': case u'_': case u'@': case u';': case u' ': case u'#':
        return true;
    default:
        return IsAsciiDigit(c) || IsAsciiLetter(c);
    }
}

bool IsDialUnit(char16_t c)
{
    switch (c) {
    case u'P': case u'p': case u'!': case u'*': case u'#':
        return true;
    default:
        return IsAsciiDigit(c);
    }
}

// The runtime classifies a wide character; the unit's value is widened
// without sign extension, so a lone surrogate stays the code 0xD800-0xDFFF
// that the 16-bit runtime of Windows would see.
wint_t Widen(char16_t c)
{
    return static_cast<wint_t>(static_cast<unsigned>(c));
}

} // namespace

bool MISC_UnitPasses(char16_t unit, unsigned kind)
{
    switch (kind) {
    case kCheckPrintableAscii:
        return unit >= 0x20 && unit <= 0x7E;
    case kCheckNoLetters:
        return !std::iswalpha(Widen(unit));
    case kCheckNoDigits:
        return !std::iswdigit(Widen(unit));
    case kCheckIdText:
        return IsIdUnit(unit);
    case kCheckDialString:
        return IsDialUnit(unit);
    case kCheckNoBar:
        return unit != u'|';
    default:
        return true;
    }
}

size_t MISC_PassingPrefix(const char16_t* text, size_t length, unsigned kind)
{
    if (!text)
        return 0;
    size_t n = 0;
    while (n < length && MISC_UnitPasses(text[n], kind))
        ++n;
    return n;
}
