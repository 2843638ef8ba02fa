// Keeping the status dialog and the prompts inside the work area of their
// monitor, so that no control lies under the taskbar or off the screen.
#pragma once

#include <windows.h>

// The origin at which the window, with its present size, lies in the work
// area of the monitor nearest to it when placed at `wanted`
// (MISC_FitToWorkArea); `wanted` itself when the monitor cannot be asked.
POINT MISC_WorkAreaOrigin(HWND window, POINT wanted);
