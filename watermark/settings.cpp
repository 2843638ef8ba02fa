#include "watermark/settings.h"

#include "common/text.h"

namespace {

bool Within(long long value, long long low, long long high)
{
    return value >= low && value <= high;
}

} // namespace

int WM_CheckSettings(const JobWM& job, std::u16string* error)
{
    const TyWM& wm = job.wm;
    std::u16string message;
    if (!Within(wm.wDensity, 20, 100))
        message = u"wDensity error";
    else if (!Within(wm.wFontSize, 1, 288))
        message = u"wFontSize error, " + MISC_IntToText(wm.wFontSize);
    else if (wm.wStyle > 3)
        message = u"wStyle error";
    else if (wm.wAngleDegree > 360)
        message = u"wAngleDegree error";
    else if (!Within(job.nDstScale, 1, 2))
        message = u"nDstScale error";
    else if (!Within(job.nPageDensity, 1, 7))
        message = u"nPageDensity error";
    else if (!Within(job.nMaxPageDensity, 1, 7))
        message = u"nMaxPageDensity error";
    else if (!Within(job.nTextScale, 5, 200))
        message = u"fTextScale = " + MISC_IntToText(job.nTextScale) + u"/100";
    else if (wm.wPlacement > 1)
        message = u"wPlacement error";
    if (message.empty())
        return 1;
    if (error)
        *error = message;
    return WM_RANGE_ERROR;
}

float WM_TextScale(const JobWM& job)
{
    return static_cast<float>(job.nTextScale / 100.0);
}
