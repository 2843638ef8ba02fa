#include "common/work_area_fit.h"

namespace {

int FitAxis(int origin, int size, int start, int end)
{
    if (size >= end - start || origin < start)
        return start;
    if (origin + size > end)
        return end - size;
    return origin;
}

} // namespace

FitPoint MISC_FitToWorkArea(FitPoint wanted, int width, int height, const FitRect& work)
{
    return {FitAxis(wanted.x, width, work.left, work.right), FitAxis(wanted.y, height, work.top, work.bottom)};
}
