// Message texts of the status dialog: built-in English texts that the UI text
// file (g_szUIFile, section "string") may replace.
#pragma once

#include <windows.h>

constexpr const wchar_t* kSectionString = L"string";

// Text of an error code into out (size units); code 277 adds the store name.
// A code without a text gives "".
void SM_GetErrorText(int code, WCHAR* out, int size);

// A text of section "string" of the UI text file into out (size units).
void SM_GetUIText(const wchar_t* key, const wchar_t* def, WCHAR* out, int size);
