// The "Status" value of the status exchange file: any text parses into at
// most 48 codes (112 never among them, the rest of the list left zero), the
// same codes and store name a plain split at the bars gives, and a store
// name that stays within its 260-unit buffer however long the text.
#include "common/text.h"
#include "monitor/status_syntax.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

constexpr size_t kStoreUnits = 260;

struct Parsed {
    std::vector<int> codes;
    std::u16string store;
};

// Closed tokens in order; "StoreName" takes the next closed token as the
// name, an unclosed one ends the value.
Parsed ReferenceParse(std::u16string_view status, std::u16string_view storeBefore)
{
    std::vector<std::u16string_view> tokens;
    for (size_t bar; (bar = status.find(u'|')) != std::u16string_view::npos; status.remove_prefix(bar + 1))
        tokens.push_back(status.substr(0, bar));
    Parsed parsed{{}, std::u16string(storeBefore)};
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i] == kStoreNameToken) {
            if (i + 1 == tokens.size())
                break;
            parsed.store = std::u16string(tokens[++i].substr(0, kStoreUnits - 1));
            continue;
        }
        int code = MISC_TextToInt(tokens[i]);
        if (code != kBusyErrCode && parsed.codes.size() < kErrCodeSlots)
            parsed.codes.push_back(code);
    }
    return parsed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::u16string status = FuzzUnits(data, size);
    int list[kErrCodeSlots + 4];
    for (int& code : list)
        code = 0;
    list[kErrCodeSlots] = 0x5A5A5A5A;  // sentinel after the list
    char16_t store[kStoreUnits + 4];
    for (char16_t& unit : store)
        unit = u'#';
    store[0] = u'\0';
    if (size % 3 == 1)  // a name left from an earlier status
        MISC_CopyText(store, kStoreUnits, u"Earlier");
    Parsed expected = ReferenceParse(status, store);

    int count = SM_ParseStatus(status, list, store, kStoreUnits);
    FUZZ_CHECK(count >= 0 && count <= kErrCodeSlots);
    FUZZ_CHECK(static_cast<size_t>(count) == expected.codes.size());
    for (int i = 0; i < count; ++i) {
        FUZZ_CHECK(list[i] != kBusyErrCode);
        FUZZ_CHECK(list[i] == expected.codes[i]);
    }
    for (int i = count; i < kErrCodeSlots; ++i)
        FUZZ_CHECK(list[i] == 0);
    FUZZ_CHECK(list[kErrCodeSlots] == 0x5A5A5A5A);
    size_t length = std::u16string_view(store).size();
    FUZZ_CHECK(length < kStoreUnits);
    // The caller reads the name as a terminated text, so a zero unit in it ends it.
    FUZZ_CHECK(std::u16string_view(store, length) == expected.store.substr(0, expected.store.find(u'\0')));
    for (size_t i = kStoreUnits; i < kStoreUnits + 4; ++i)
        FUZZ_CHECK(store[i] == u'#');
    return 0;
}
