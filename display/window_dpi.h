// The DPI of the display a window is shown on, which sets the scale of the
// status dialog's pictures and items.
#pragma once

#include <windows.h>

// GetDpiForWindow where the system has it (Windows 10 1607 on); elsewhere the
// screen's LOGPIXELSY, which older systems give every window; 96 when
// neither answers.
int SM_WindowDpi(HWND window);
