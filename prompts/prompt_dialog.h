// What the secure print and accounting dialogs share: placing the dialog,
// the per-field character check, the answer to the driver side on close,
// and storing a field as printer data.
#pragma once

#include <windows.h>

#include "common/globals.h"

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

// Opens the target printer with full access; null when it cannot be opened
// or is not one the spooler lists.
HANDLE MISC_OpenTargetPrinter();

// Stores the whole 260-unit buffer as a REG_SZ printer data value (520
// bytes, as the driver reads it). 1 on success; a failure is traced.
int MISC_SetPrinterText(HANDLE printer, const WCHAR* valueName, const WCHAR (&buffer)[kTextUnits]);

// Empties a field buffer, every unit of it.
void MISC_WipePromptText(WCHAR (&buffer)[kTextUnits]);
