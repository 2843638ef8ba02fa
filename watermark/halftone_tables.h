// The halftone threshold tables that thin the watermark into a grey tone.
// A table is size x size 8-bit thresholds, row by row; at density level L a
// dot is on where the threshold is at most L.
#pragma once

#include <cstdint>

struct HalftoneTable {
    uint32_t type;         // the HalftoneType that selects it
    const char16_t* name;  // reported by the lookup's trace line
    int size;              // entries on a side
    const uint8_t* data;   // size * size thresholds
};

// The table for a HalftoneType; every type outside 1-8 gets FINE_TAry_16.
const HalftoneTable& WM_HalftoneTableFor(uint32_t halftoneType);
