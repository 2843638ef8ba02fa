// The "Status" value of the status exchange file: any text of up to 259
// units parses into at most 48 codes (112 never among them, the rest of the
// list left zero) and a store name that stays within its buffer.
#include "monitor/status_syntax.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::u16string status = FuzzUnits(data, size).substr(0, 259);  // what the profile read keeps
    int list[kErrCodeSlots + 4];
    for (int& code : list)
        code = 0;
    list[kErrCodeSlots] = 0x5A5A5A5A;  // sentinel after the list
    char16_t store[260 + 4];
    for (char16_t& unit : store)
        unit = u'#';
    store[0] = u'\0';

    int count = SM_ParseStatus(status, list, store, 260);
    FUZZ_CHECK(count >= 0 && count <= kErrCodeSlots);
    for (int i = 0; i < count; ++i)
        FUZZ_CHECK(list[i] != kBusyErrCode);
    for (int i = count; i < kErrCodeSlots; ++i)
        FUZZ_CHECK(list[i] == 0);
    FUZZ_CHECK(list[kErrCodeSlots] == 0x5A5A5A5A);
    size_t length = std::u16string_view(store).size();
    FUZZ_CHECK(length < 260);
    FUZZ_CHECK(std::u16string_view(store, length).find(u'|') == std::u16string_view::npos);
    for (size_t i = 260; i < 264; ++i)
        FUZZ_CHECK(store[i] == u'#');
    return 0;
}
