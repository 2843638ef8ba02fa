// Command-line decisions of the dispatcher: the argument table, the command
// words and the language index mapping. Plain values only.
#pragma once

#include <cstddef>
#include <string_view>

constexpr int kArgSlots = 50;
constexpr size_t kArgUnits = 260;

// Slot i holds a copy of argument i: 0 the executable as typed, 1 the command
// word, 2-4 its arguments. Slots the command line does not supply are empty.
struct ArgTable {
    char16_t slot[kArgSlots][kArgUnits];
};

// Empties every slot, then copies argv[i] into slot i. An argument of 260
// units or more is cut to 259; null arguments and those past the 50th are
// skipped. Returns the number of slots filled.
int SM_FillArgTable(ArgTable& table, const char16_t* const* argv, int argc);

inline std::u16string_view SM_ArgText(const ArgTable& table, int i)
{
    return std::u16string_view(table.slot[i]);
}

enum class CommandWord {
    None,
    CreateTextBMP,
    Preheat,
    Uninstall,
    Install,
    Logon,
    SetATM,
    Charset,
    Security,
    Accounting,
};

// Exact, case-sensitive comparison of the whole word with the table.
CommandWord SM_CommandWordOf(std::u16string_view word);

// Language identifier (1028, 2052, ...) to the prompt table column; unlisted
// identifiers give 0 (English).
int SM_LanguageIndexOf(int languageId);
