#include "monitor/status_syntax.h"

#include "common/text.h"

int SM_ParseStatus(std::u16string_view status, int* list, char16_t* storeName, size_t storeCap)
{
    int count = 0;
    size_t start = 0;
    for (;;) {
        size_t bar = status.find(u'|', start);
        if (bar == std::u16string_view::npos)
            return count;
        std::u16string_view token = status.substr(start, bar - start);
        start = bar + 1;
        if (token == kStoreNameToken) {
            size_t nameEnd = status.find(u'|', start);
            if (nameEnd == std::u16string_view::npos)
                return count;
            MISC_CopyText(storeName, storeCap, status.substr(start, nameEnd - start));
            start = nameEnd + 1;
            continue;
        }
        int code = MISC_TextToInt(token);
        if (code == kBusyErrCode || count == kErrCodeSlots)
            continue;
        list[count++] = code;
    }
}
