// Where a window goes so that it lies in the work area of its monitor (the
// monitor's area less the taskbar and docked bars), as plain arithmetic.
#pragma once

struct FitRect {
    int left;
    int top;
    int right;
    int bottom;
};

struct FitPoint {
    int x;
    int y;
};

// The origin for a window of width x height wanted at `wanted`. On each axis
// where the window fits the work area, the nearest origin that keeps it
// wholly inside (the wanted one when it is inside already); where it does
// not fit, the work area's own edge, so that its top and left (caption and
// first controls) stay reachable.
FitPoint MISC_FitToWorkArea(FitPoint wanted, int width, int height, const FitRect& work);
