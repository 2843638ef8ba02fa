// The two halves of the program meet here: core code speaks char16_t, Windows
// code speaks wchar_t. On Windows both are UTF-16 code units of the same size,
// so a pointer is re-typed, never copied or re-encoded.
#pragma once

#include <cstddef>
#include <string_view>

static_assert(sizeof(wchar_t) == 2, "Windows code assumes 16-bit wchar_t");

inline const char16_t* U16(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }
inline char16_t* U16(wchar_t* s) { return reinterpret_cast<char16_t*>(s); }
inline const wchar_t* W16(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline wchar_t* W16(char16_t* s) { return reinterpret_cast<wchar_t*>(s); }

inline std::u16string_view U16View(const wchar_t* s)
{
    return s ? std::u16string_view(U16(s)) : std::u16string_view();
}

inline std::u16string_view U16View(const wchar_t* s, size_t units)
{
    return std::u16string_view(U16(s), units);
}
