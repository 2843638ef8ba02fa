// The command-line argument table: any number of arguments of any length
// land in their 260-unit slots, cut and terminated, nothing written past.
#include "app/command_line.h"
#include "common/text.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::u16string> texts = FuzzTexts(data, size);
    std::vector<const char16_t*> argv;
    for (const std::u16string& t : texts)
        argv.push_back(t.c_str());
    if (!texts.empty() && texts.size() % 7 == 3)
        argv[texts.size() / 2] = nullptr;  // a null argument is skipped

    static ArgTable table;
    int filled = SM_FillArgTable(table, argv.data(), static_cast<int>(argv.size()));
    FUZZ_CHECK(filled >= 0 && filled <= kArgSlots);
    for (int i = 0; i < kArgSlots; ++i) {
        std::u16string_view slot = SM_ArgText(table, i);
        FUZZ_CHECK(slot.size() < kArgUnits);
        if (i < static_cast<int>(argv.size()) && argv[i])
            FUZZ_CHECK(slot == std::u16string_view(argv[i]).substr(0, kArgUnits - 1));
        else
            FUZZ_CHECK(slot.empty());
    }
    SM_CommandWordOf(SM_ArgText(table, 1));
    int language = SM_LanguageIndexOf(MISC_TextToInt(SM_ArgText(table, 2)));
    FUZZ_CHECK(language >= 0 && language <= 12);
    return 0;
}
