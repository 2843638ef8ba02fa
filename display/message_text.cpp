#include "display/message_text.h"

#include "common/globals.h"
#include "common/text.h"
#include "common/utf16.h"
#include "display/message_table.h"

void SM_GetUIText(const wchar_t* key, const wchar_t* def, WCHAR* out, int size)
{
    GetPrivateProfileStringW(kSectionString, key, def, out, static_cast<DWORD>(size), g_szUIFile);
}

void SM_GetErrorText(int code, WCHAR* out, int size)
{
    if (!out || size <= 0)
        return;
    out[0] = L'\0';
    const MessageRow* row = SM_FindMessageRow(code);
    if (!row)
        return;
    WCHAR text[kMessageUnits] = L"";
    SM_GetUIText(W16(row->key), W16(row->text), text, kMessageUnits);
    if (code != kStoreJobNameCode) {
        MISC_CopyText(U16(out), static_cast<size_t>(size), U16View(text));
        return;
    }
    // The store name may be 259 units long: the whole is cut to the buffer.
    SM_ComposeStoreJobText(U16(out), static_cast<size_t>(size), U16View(text), U16View(g_szStoreName));
}
