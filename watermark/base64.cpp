#include "watermark/base64.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

unsigned SixBits(std::string_view text, size_t i)
{
    if (i >= text.size())
        return 0;
    char c = text[i];
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned>(c - 'A');
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned>(c - 'a' + 26);
    if (c >= '0' && c <= '9')
        return static_cast<unsigned>(c - '0' + 52);
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return 0;
}

} // namespace

size_t MISC_Base64Length(size_t recordSize)
{
    return (recordSize + 2) / 3 * 4;
}

void MISC_Base64Decode(std::string_view text, uint8_t* record, size_t recordSize)
{
    for (size_t group = 0; group * 3 < recordSize; ++group) {
        size_t at = group * 4;
        unsigned bits = SixBits(text, at) << 18 | SixBits(text, at + 1) << 12 |
                        SixBits(text, at + 2) << 6 | SixBits(text, at + 3);
        for (size_t k = 0; k < 3 && group * 3 + k < recordSize; ++k)
            record[group * 3 + k] = static_cast<uint8_t>(bits >> (16 - 8 * k));
    }
}

std::string MISC_Base64Encode(const uint8_t* record, size_t recordSize)
{
    std::string text;
    text.reserve(MISC_Base64Length(recordSize));
    for (size_t i = 0; i < recordSize; i += 3) {
        size_t n = recordSize - i < 3 ? recordSize - i : 3;
        unsigned bits = static_cast<unsigned>(record[i]) << 16;
        if (n > 1)
            bits |= static_cast<unsigned>(record[i + 1]) << 8;
        if (n > 2)
            bits |= record[i + 2];
        for (size_t k = 0; k < 4; ++k)
            text += k <= n ? kAlphabet[(bits >> (18 - 6 * k)) & 63] : '=';
    }
    return text;
}
