#include "common/text.h"

#include <climits>
#include <string>

size_t MISC_CopyText(char16_t* dst, size_t cap, std::u16string_view src)
{
    if (!dst || cap == 0)
        return 0;
    size_t n = src.size() < cap - 1 ? src.size() : cap - 1;
    src.copy(dst, n);
    dst[n] = u'\0';
    return n;
}

size_t MISC_AppendText(char16_t* dst, size_t cap, std::u16string_view src)
{
    if (!dst || cap == 0)
        return 0;
    size_t len = MISC_TextLength(dst, cap);
    if (len == cap) {
        dst[cap - 1] = u'\0';
        return cap - 1;
    }
    return len + MISC_CopyText(dst + len, cap - len, src);
}

size_t MISC_TextLength(const char16_t* s, size_t cap)
{
    size_t n = 0;
    while (s && n < cap && s[n] != u'\0')
        ++n;
    return n;
}

static bool IsBlank(char16_t c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

int MISC_TextToInt(std::u16string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > 1LL + INT_MAX)
            value = 1LL + INT_MAX;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

std::u16string MISC_IntToText(int value)
{
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}
