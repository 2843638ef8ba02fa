// Base64 as the driver stores binary records in INI values: the standard
// alphabet, decoded in place. A character outside the alphabet (padding
// included) and every position past the end of a short text count as six zero
// bits, so nothing shifts and a short text leaves a zero tail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Characters that encode a record of recordSize bytes: 4 per started 3 bytes.
size_t MISC_Base64Length(size_t recordSize);

// Decodes text into exactly recordSize bytes of record.
void MISC_Base64Decode(std::string_view text, uint8_t* record, size_t recordSize);

// Encodes recordSize bytes, with "=" padding on the last group.
std::string MISC_Base64Encode(const uint8_t* record, size_t recordSize);
