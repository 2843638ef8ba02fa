// drvsim watermark: writes a job INI file for "CreateTextBMP", its
// "Job Information"/"Param" value holding the base64 of a watermark settings
// record built from the options. Values are stored as given, within the
// field's type, so out-of-range records can be made on purpose.
#include <cstring>
#include <string>

#include "common/text.h"
#include "common/utf16.h"
#include "tools/drvsim/drvsim.h"
#include "watermark/base64.h"
#include "watermark/settings.h"

namespace {

constexpr long long kI16 = 32767;
constexpr long long kI32 = 2147483647LL;
constexpr long long kU16 = 65535;
constexpr long long kU32 = 4294967295LL;

// An A4 page at 600 dpi with a centred 45-degree text.
JobWM DefaultRecord()
{
    JobWM job{};
    MISC_CopyText(job.wm.wmText, WM_TEXT_MAX_LEN, u"WATERMARK");
    MISC_CopyText(job.wm.wmFaceName, WM_FONTFACE_MAX_LEN, u"Arial");
    job.wm.wDensity = 60;
    job.wm.wFontSize = 72;
    job.wm.wAngleDegree = 45;
    job.nWidth = 4960;
    job.nHeight = 7016;
    job.nDstScale = 1;
    job.nPageDensity = 1;
    job.nMaxPageDensity = 1;
    job.nTextScale = 100;
    return job;
}

std::wstring FullPath(const std::wstring& path)
{
    WCHAR full[MAX_PATH];
    DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH ? std::wstring(full) : std::wstring();
}

bool SetText(char16_t* field, size_t units, const std::wstring& value)
{
    if (value.size() >= units)
        return false;
    MISC_CopyText(field, units, U16View(value.c_str(), value.size()));
    return true;
}

struct NumberOption {
    const wchar_t* name;
    long long low;
    long long high;
    void (*store)(JobWM&, long long);
};

const NumberOption kNumbers[] = {
    {L"--size", 0, kU16, [](JobWM& j, long long v) { j.wm.wFontSize = static_cast<uint16_t>(v); }},
    {L"--style", 0, kU16, [](JobWM& j, long long v) { j.wm.wStyle = static_cast<uint16_t>(v); }},
    {L"--angle", 0, kU16, [](JobWM& j, long long v) { j.wm.wAngleDegree = static_cast<uint16_t>(v); }},
    {L"--placement", 0, kU16, [](JobWM& j, long long v) { j.wm.wPlacement = static_cast<uint16_t>(v); }},
    {L"--density", 0, kU16, [](JobWM& j, long long v) { j.wm.wDensity = static_cast<uint16_t>(v); }},
    {L"--x-shift", -kI16 - 1, kI16, [](JobWM& j, long long v) { j.wm.xShift = static_cast<int16_t>(v); }},
    {L"--y-shift", -kI16 - 1, kI16, [](JobWM& j, long long v) { j.wm.yShift = static_cast<int16_t>(v); }},
    {L"--width", -kI32 - 1, kI32, [](JobWM& j, long long v) { j.nWidth = static_cast<int32_t>(v); }},
    {L"--height", -kI32 - 1, kI32, [](JobWM& j, long long v) { j.nHeight = static_cast<int32_t>(v); }},
    {L"--dst-scale", -kI32 - 1, kI32, [](JobWM& j, long long v) { j.nDstScale = static_cast<int32_t>(v); }},
    {L"--page-density", -kI32 - 1, kI32, [](JobWM& j, long long v) { j.nPageDensity = static_cast<int32_t>(v); }},
    {L"--max-page-density", -kI32 - 1, kI32,
     [](JobWM& j, long long v) { j.nMaxPageDensity = static_cast<int32_t>(v); }},
    {L"--text-scale", -kI32 - 1, kI32, [](JobWM& j, long long v) { j.nTextScale = static_cast<int32_t>(v); }},
    {L"--halftone", 0, kU32, [](JobWM& j, long long v) { j.HalftoneType = static_cast<uint32_t>(v); }},
    {L"--driver-type", 0, kU32, [](JobWM& j, long long v) { j.DriverType = static_cast<uint32_t>(v); }},
};

const NumberOption* FindNumber(const std::wstring& name)
{
    for (const NumberOption& option : kNumbers) {
        if (name == option.name)
            return &option;
    }
    return nullptr;
}

int Watermark(const std::vector<std::wstring>& args)
{
    JobWM job = DefaultRecord();
    std::wstring ini;
    std::wstring bmp;
    for (size_t i = 0; i < args.size(); i += 2) {
        const std::wstring& name = args[i];
        if (i + 1 >= args.size())
            return DrvsimFail(L"%ls needs a value", name.c_str());
        const std::wstring& value = args[i + 1];
        if (name == L"--ini") {
            ini = value;
        } else if (name == L"--bmp") {
            bmp = value;
        } else if (name == L"--text") {
            if (!SetText(job.wm.wmText, WM_TEXT_MAX_LEN, value))
                return DrvsimFail(L"--text is longer than %d units", WM_TEXT_MAX_LEN - 1);
        } else if (name == L"--face") {
            if (!SetText(job.wm.wmFaceName, WM_FONTFACE_MAX_LEN, value))
                return DrvsimFail(L"--face is longer than %d units", WM_FONTFACE_MAX_LEN - 1);
        } else if (const NumberOption* option = FindNumber(name)) {
            long long number = 0;
            if (!DrvsimParseInt(value, option->low, option->high, &number))
                return DrvsimFail(L"%ls: '%ls' is not a number from %lld to %lld", name.c_str(), value.c_str(),
                                  option->low, option->high);
            option->store(job, number);
        } else {
            return DrvsimFail(L"unknown option %ls", name.c_str());
        }
    }
    if (ini.empty() || bmp.empty())
        return DrvsimFail(L"watermark needs --ini PATH and --bmp PATH");
    std::wstring iniPath = FullPath(ini);
    std::wstring bmpPath = FullPath(bmp);
    if (iniPath.empty() || bmpPath.empty())
        return DrvsimFail(L"a path is too long");
    if (!SetText(job.wmFileName, WM_TEXT_MAX_LEN, bmpPath))
        return DrvsimFail(L"--bmp is longer than %d units", WM_TEXT_MAX_LEN - 1);

    std::string encoded = MISC_Base64Encode(reinterpret_cast<const uint8_t*>(&job), sizeof(job));
    std::wstring value(encoded.begin(), encoded.end());
    if (!WritePrivateProfileStringW(L"Job Information", L"Param", value.c_str(), iniPath.c_str()))
        return DrvsimFail(L"cannot write %ls (error %lu)", iniPath.c_str(), GetLastError());
    return 0;
}

} // namespace

DRVSIM_COMMAND(watermark, L"watermark",
               L"--ini PATH --bmp PATH [--text T] [--face F] [--size PT] [--style N] [--angle DEG] "
               L"[--placement 0|1] [--density N] [--width PX] [--height PX] [--dst-scale N] [--page-density N] "
               L"[--max-page-density N] [--text-scale N] [--halftone N] [--driver-type N] [--x-shift N] "
               L"[--y-shift N]",
               Watermark);
