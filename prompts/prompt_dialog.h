// What the secure print and accounting dialogs share: placing the dialog,
// the per-field character check, the answer to the driver side on close,
// and storing a field as printer data.
#pragma once

#include <windows.h>

#include "common/globals.h"
#include "prompts/prompt_texts.h"

// Centres the dialog on the desktop (never at a negative position), moved
// where needed to lie in the work area of its monitor; makes it topmost,
// removes Move from its system menu and brings it to the front.
void MISC_PlacePromptDialog(HWND dialog);

// Empties the edit field and limits it to maxUnits characters.
void MISC_ResetPromptField(HWND dialog, int id, int maxUnits);

// Checks the field's text with the rule of the kind. A passing text becomes
// the last accepted text; otherwise the field gets the last accepted text
// back with the caret after it.
void MISC_CheckPromptField(HWND dialog, int id, unsigned kind, WCHAR (&last)[kTextUnits]);

// Sets the text of each control from the prompt table, in the order given.
void MISC_SetPromptTexts(HWND dialog, const int* ids, const int* rows, int count);

// "Message" = "1028" in the status exchange file: the prompt is alive and
// answering, whatever the close decides.
void MISC_WritePromptAlive();

// Opens the target printer to store printer data: asks for
// PRINTER_ACCESS_ADMINISTER, and where that is refused for
// PRINTER_ACCESS_MANAGE_LIMITED, which a standard user may be granted. Null
// when it cannot be opened or is not one the spooler lists; *why then says
// whether the printer refused this user or could not be opened at all.
HANDLE MISC_OpenTargetPrinter(PromptFailure* why);

// One printer data value that a prompt hands to the driver.
struct PromptValue {
    const wchar_t* name;
    DWORD type;
    const void* data;
    DWORD size;
};

// A REG_SZ value of the whole 260-unit buffer (520 bytes, as the driver reads it).
PromptValue MISC_PromptText(const wchar_t* name, const WCHAR (&buffer)[kTextUnits]);

// Stores the values on the target printer in order, all or none: when one
// fails, those stored before it are deleted again, so the driver never takes
// new answers mixed with a previous user's. 1 when all are stored; else 0
// with the reason in *why.
int MISC_StorePromptAnswers(const PromptValue* values, int count, PromptFailure* why);

// Tells the user in a message box owned by the prompt that the answers did
// not reach the printer driver, and why, in the prompt's language.
void MISC_ReportAnswersNotHanded(HWND dialog, PromptFailure why);

// Empties a field buffer, every unit of it.
void MISC_WipePromptText(WCHAR (&buffer)[kTextUnits]);
