// Bounded UTF-16 text helpers of the core: every copy into a fixed buffer goes
// through here, so an overlong text is cut, never written past its buffer.
#pragma once

#include <cstddef>
#include <string_view>

// Copies src into dst of cap units (terminator included), cutting it to
// cap - 1 units. Returns the number of units copied. cap 0 writes nothing.
size_t MISC_CopyText(char16_t* dst, size_t cap, std::u16string_view src);

// Appends src to the terminated text in dst of cap units, cutting as above.
// Returns the new length.
size_t MISC_AppendText(char16_t* dst, size_t cap, std::u16string_view src);

// Length of a text of at most cap units that may lack its terminator.
size_t MISC_TextLength(const char16_t* s, size_t cap);

// The runtime's text-to-integer rule: optional leading white space, optional
// sign, decimal digits up to the first other character; no digits give 0.
// Values beyond the 32-bit range are clamped, as the runtime's conversion does.
int MISC_TextToInt(std::u16string_view text);

// Decimal text of a signed 32-bit number.
std::u16string MISC_IntToText(int value);
