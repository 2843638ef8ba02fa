#include "app/command_line.h"

#include <cstring>

#include "common/text.h"

int SM_FillArgTable(ArgTable& table, const char16_t* const* argv, int argc)
{
    std::memset(&table, 0, sizeof(table));
    int filled = 0;
    for (int i = 0; argv && i < argc && i < kArgSlots; ++i) {
        if (!argv[i])
            continue;
        MISC_CopyText(table.slot[i], kArgUnits, argv[i]);
        ++filled;
    }
    return filled;
}

CommandWord SM_CommandWordOf(std::u16string_view word)
{
    static const struct {
        std::u16string_view text;
        CommandWord command;
    } kWords[] = {
        {u"CreateTextBMP", CommandWord::CreateTextBMP},
        {u"PREHEAT", CommandWord::Preheat},
        {u"uninstall", CommandWord::Uninstall},
        {u"install", CommandWord::Install},
        {u"logon", CommandWord::Logon},
        {u"SetATM", CommandWord::SetATM},
        {u"charset", CommandWord::Charset},
        {u"security", CommandWord::Security},
        {u"accounting", CommandWord::Accounting},
    };
    for (const auto& w : kWords) {
        if (w.text == word)
            return w.command;
    }
    return CommandWord::None;
}

int SM_LanguageIndexOf(int languageId)
{
    static const struct {
        int id;
        int index;
    } kLanguages[] = {
        {1025, 11}, {1028, 1}, {1031, 4}, {1036, 3}, {1040, 9}, {1045, 5},
        {1046, 8},  {1049, 6}, {1055, 10}, {1065, 12}, {2052, 2}, {3082, 7},
    };
    for (const auto& l : kLanguages) {
        if (l.id == languageId)
            return l.index;
    }
    return 0;
}
