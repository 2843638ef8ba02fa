#include "testkit/watermark_job.h"

#include <cwchar>

#include "watermark/base64.h"

JobWM SmallWatermarkJob(const std::wstring& bmp, const wchar_t* text, int width, int height)
{
    JobWM job{};
    wcsncpy(reinterpret_cast<wchar_t*>(job.wm.wmText), text, WM_TEXT_MAX_LEN - 1);
    wcsncpy(reinterpret_cast<wchar_t*>(job.wm.wmFaceName), L"Arial", WM_FONTFACE_MAX_LEN - 1);
    wcsncpy(reinterpret_cast<wchar_t*>(job.wmFileName), bmp.c_str(), WM_TEXT_MAX_LEN - 1);
    job.wm.wDensity = 100;
    job.wm.wFontSize = 10;
    job.nWidth = width;
    job.nHeight = height;
    job.nDstScale = 1;
    job.nPageDensity = 1;
    job.nMaxPageDensity = 1;
    job.nTextScale = 100;
    return job;
}

std::wstring EncodedJob(const JobWM& job)
{
    std::string text = MISC_Base64Encode(reinterpret_cast<const uint8_t*>(&job), sizeof(job));
    return std::wstring(text.begin(), text.end());
}
