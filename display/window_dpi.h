// The DPI of the display a window is shown on, which sets the scale of the
// status dialog's pictures and items.
#pragma once

#include <windows.h>

// From Windows 10 1703 on, the dialog manager answers a change of DPI by
// sizing the dialog and laying out every control again. A dialog that sizes
// itself on WM_DPICHANGED would be sized twice, and a control the program
// places itself laid out again after it: this leaves the dialog's size and
// that control (none when null) to the program. The functions are looked up
// at run time; false where the system has none (before 1703, Wine), whose
// dialog manager does no such layout.
bool SM_KeepOwnDpiLayout(HWND dialog, HWND ownControl);

// GetDpiForWindow where the system has it (Windows 10 1607 on); elsewhere the
// screen's LOGPIXELSY, which older systems give every window; 96 when
// neither answers.
int SM_WindowDpi(HWND window);

// The dialog base units (average letter width, text height) of a font of
// that face and point size made for the DPI, measured as the dialog manager
// measures a dialog's font; {0, 0} when no font can be made.
SIZE SM_DialogBaseUnits(const wchar_t* face, int points, int dpi);

// The size of the window around a client area of that size, with the
// window's styles and the frame of the DPI (AdjustWindowRectExForDpi, where
// the system has it).
SIZE SM_WindowSizeAround(HWND window, SIZE client, int dpi);
