// The error code to message text table: the key of each text in section
// "string" of the UI text file and its built-in English text.
#pragma once

#include <cstddef>
#include <string_view>

constexpr int kMessageRows = 48;
constexpr size_t kMessageUnits = 128;     // a message text: 127 units and the terminator
constexpr int kStoreJobNameCode = 277;    // its text is followed by the store name

struct MessageRow {
    int code;
    const char16_t* key;   // "msg001" ... "msg048"
    const char16_t* text;  // built-in English text
};

// A caption of the status dialog: its key in section "string" and its
// built-in English text.
struct CaptionRow {
    const char16_t* key;
    const char16_t* text;
};
constexpr CaptionRow kGroupCaption{u"group", u"Status Message"};
constexpr CaptionRow kDeleteCaption{u"btn001", u"Delete"};
constexpr CaptionRow kContinueCaption{u"btn002", u"Continue"};

// The 48 rows, in key order.
const MessageRow* SM_MessageRows();

// The row of code, or null for a code without a text.
const MessageRow* SM_FindMessageRow(int code);

// Code 277's text: "<text> <store name>." cut to cap - 1 units.
void SM_ComposeStoreJobText(char16_t* out, size_t cap, std::u16string_view text, std::u16string_view storeName);
