// Texts of the secure print and accounting dialogs: 14 rows, one column per
// language index of the command line (0 English, 1 Traditional Chinese,
// 2 Simplified Chinese, 3-12 English).
#pragma once

#include <string>

constexpr int kPromptRows = 14;
constexpr int kPromptLanguages = 13;

enum PromptRow : int {
    kPromptStorageTitle = 0,
    kPromptSecurityTitle,
    kPromptIdLabel,
    kPromptIdHint,
    kPromptPasswordLabel,
    kPromptPasswordHint,
    kPromptRemoveFile,
    kPromptSecureOk,
    kPromptAccountingTitle,
    kPromptUserLabel,
    kPromptUserHint,
    kPromptActPasswordLabel,
    kPromptActPasswordHint,
    kPromptAccountingOk,
};

// The text of a row in a language column; a language outside 0-12 reads
// English, a row outside the table an empty text.
const char16_t* SM_PromptText(int row, int language);

// Why a prompt's answers did not reach the printer driver.
enum class PromptFailure : int {
    kNoPrinter,  // the printer could not be opened
    kRefused,    // the printer refused this user the right to store them
    kNotTaken,   // the printer did not store one of them
};

// What the user is told when the answers did not reach the printer driver:
// that, and why, in a language column as above.
std::u16string SM_PromptFailureText(PromptFailure why, int language);
