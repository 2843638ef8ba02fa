// The "Status" value of the status exchange file: error codes and an optional
// store name, each token closed by a bar ("33|5|", "277|StoreName|Weekly|").
#pragma once

#include <cstddef>
#include <string_view>

constexpr int kErrCodeSlots = 48;     // entries of an error code list
constexpr int kBusyErrCode = 112;     // "printer busy": never listed
constexpr std::u16string_view kStoreNameToken = u"StoreName";

// Parses status into list (kErrCodeSlots entries, zeroed by the caller) and
// returns the count. Only tokens closed by a bar count; 112 is dropped; codes
// beyond the 48th are ignored. A "StoreName" token makes the next closed token
// the store name, copied into storeName (storeCap units); an unclosed name is
// ignored and the previous name kept.
int SM_ParseStatus(std::u16string_view status, int* list, char16_t* storeName, size_t storeCap);
