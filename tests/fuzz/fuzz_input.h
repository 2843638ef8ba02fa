// Turns a fuzzer's bytes into the values the core takes: UTF-16 units read
// little-endian, split into texts at a zero unit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline std::u16string FuzzUnits(const uint8_t* data, size_t size)
{
    std::u16string units;
    for (size_t i = 0; i + 1 < size; i += 2)
        units += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    return units;
}

inline std::vector<std::u16string> FuzzTexts(const uint8_t* data, size_t size)
{
    std::vector<std::u16string> texts(1);
    for (char16_t unit : FuzzUnits(data, size)) {
        if (unit == 0)
            texts.emplace_back();
        else
            texts.back() += unit;
    }
    return texts;
}

// A broken invariant is a finding: stop the way a sanitizer would.
#define FUZZ_CHECK(condition) \
    do {                      \
        if (!(condition))     \
            __builtin_trap(); \
    } while (0)
