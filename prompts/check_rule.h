// Character rules of the print-time prompts: which UTF-16 units a field may
// hold. Each unit is judged on its own; surrogate pairs are not combined.
#pragma once

#include <cstddef>

// Check kinds of MISC_CheckString; any other value accepts every unit.
enum : unsigned {
    kCheckPrintableAscii = 0,  // passwords: 0x20-0x7E only
    kCheckNoLetters = 1,       // iswalpha units are refused
    kCheckNoDigits = 2,        // iswdigit units are refused
    kCheckIdText = 3,          // job ID and user name: ASCII letters, digits and . - _ @ ; space #
    kCheckDialString = 4,      // digits, P, p, !, *, #
    kCheckNoBar = 5,           // everything but |
};

// True when the unit is allowed by the rule of the kind.
bool MISC_UnitPasses(char16_t unit, unsigned kind);

// Number of units of text[0, length) that pass before the first refused one;
// length itself when all pass. Units past length are never read.
size_t MISC_PassingPrefix(const char16_t* text, size_t length, unsigned kind);
