// drvsim watermark: writes a job INI file for "CreateTextBMP" through the
// driver-side library: its "Job Information"/"Param" value holds the base64
// of a watermark settings record built from the options. Values are stored
// as given, within the field's type, so out-of-range records can be made on
// purpose: such a record, which the library refuses to write, is encoded by
// the library and written here, with a note naming the field.
#include <cstdio>
#include <cstring>
#include <string>

#include "driverside/mfpsm_driver.h"
#include "tools/drvsim/drvsim.h"

namespace {

constexpr long long kI16 = 32767;
constexpr long long kI32 = 2147483647LL;
constexpr long long kU16 = 65535;
constexpr long long kU32 = 4294967295LL;

// An A4 page at 600 dpi with a centred 45-degree text.
MfpsmDrvWatermark DefaultRecord()
{
    MfpsmDrvWatermark wm;
    memset(&wm, 0, sizeof(wm));
    MfpsmDrvCopyText(wm.wmText, 260, L"WATERMARK");
    MfpsmDrvCopyText(wm.wmFaceName, 32, L"Arial");
    wm.wDensity = 60;
    wm.wFontSize = 72;
    wm.wAngleDegree = 45;
    wm.nWidth = 4960;
    wm.nHeight = 7016;
    wm.nDstScale = 1;
    wm.nPageDensity = 1;
    wm.nMaxPageDensity = 1;
    wm.nTextScale = 100;
    return wm;
}

std::wstring FullPath(const std::wstring& path)
{
    WCHAR full[MAX_PATH];
    DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH ? std::wstring(full) : std::wstring();
}

struct NumberOption {
    const wchar_t* name;
    long long low;
    long long high;
    void (*store)(MfpsmDrvWatermark&, long long);
};

const NumberOption kNumbers[] = {
    {L"--size", 0, kU16, [](MfpsmDrvWatermark& w, long long v) { w.wFontSize = static_cast<WORD>(v); }},
    {L"--style", 0, kU16, [](MfpsmDrvWatermark& w, long long v) { w.wStyle = static_cast<WORD>(v); }},
    {L"--angle", 0, kU16, [](MfpsmDrvWatermark& w, long long v) { w.wAngleDegree = static_cast<WORD>(v); }},
    {L"--placement", 0, kU16, [](MfpsmDrvWatermark& w, long long v) { w.wPlacement = static_cast<WORD>(v); }},
    {L"--density", 0, kU16, [](MfpsmDrvWatermark& w, long long v) { w.wDensity = static_cast<WORD>(v); }},
    {L"--x-shift", -kI16 - 1, kI16, [](MfpsmDrvWatermark& w, long long v) { w.xShift = static_cast<SHORT>(v); }},
    {L"--y-shift", -kI16 - 1, kI16, [](MfpsmDrvWatermark& w, long long v) { w.yShift = static_cast<SHORT>(v); }},
    {L"--width", -kI32 - 1, kI32, [](MfpsmDrvWatermark& w, long long v) { w.nWidth = static_cast<LONG>(v); }},
    {L"--height", -kI32 - 1, kI32, [](MfpsmDrvWatermark& w, long long v) { w.nHeight = static_cast<LONG>(v); }},
    {L"--dst-scale", -kI32 - 1, kI32, [](MfpsmDrvWatermark& w, long long v) { w.nDstScale = static_cast<LONG>(v); }},
    {L"--page-density", -kI32 - 1, kI32,
     [](MfpsmDrvWatermark& w, long long v) { w.nPageDensity = static_cast<LONG>(v); }},
    {L"--max-page-density", -kI32 - 1, kI32,
     [](MfpsmDrvWatermark& w, long long v) { w.nMaxPageDensity = static_cast<LONG>(v); }},
    {L"--text-scale", -kI32 - 1, kI32, [](MfpsmDrvWatermark& w, long long v) { w.nTextScale = static_cast<LONG>(v); }},
    {L"--halftone", 0, kU32, [](MfpsmDrvWatermark& w, long long v) { w.HalftoneType = static_cast<DWORD>(v); }},
    {L"--driver-type", 0, kU32, [](MfpsmDrvWatermark& w, long long v) { w.DriverType = static_cast<DWORD>(v); }},
};

const NumberOption* FindNumber(const std::wstring& name)
{
    for (const NumberOption& option : kNumbers) {
        if (name == option.name)
            return &option;
    }
    return nullptr;
}

int SetText(WCHAR* field, DWORD units, const wchar_t* option, const std::wstring& value)
{
    if (MfpsmDrvCopyText(field, units, value.c_str()) == ERROR_SUCCESS)
        return 0;
    return DrvsimFail(L"%ls is longer than %lu units", option, units - 1);
}

// A record the job would not draw, written all the same.
int WriteAsGiven(const std::wstring& ini, const MfpsmDrvWatermark& wm, const char* field)
{
    fwprintf(stderr, L"drvsim: note: %hs is outside what the job draws; the record is written as given\n", field);
    WCHAR param[MFPSMDRV_PARAM_UNITS];
    if (int code = DrvsimResult(MfpsmDrvEncodeWatermark(&wm, param, MFPSMDRV_PARAM_UNITS), L"the record"))
        return code;
    if (!WritePrivateProfileStringW(L"Job Information", L"Param", param, ini.c_str()))
        return DrvsimFail(L"cannot write %ls (error %lu)", ini.c_str(), GetLastError());
    return 0;
}

int Watermark(const std::vector<std::wstring>& args)
{
    MfpsmDrvWatermark wm = DefaultRecord();
    std::wstring ini;
    std::wstring bmp;
    for (size_t i = 0; i < args.size(); i += 2) {
        const std::wstring& name = args[i];
        if (i + 1 >= args.size())
            return DrvsimFail(L"%ls needs a value", name.c_str());
        const std::wstring& value = args[i + 1];
        int error = 0;
        if (name == L"--ini") {
            ini = value;
        } else if (name == L"--bmp") {
            bmp = value;
        } else if (name == L"--text") {
            error = SetText(wm.wmText, 260, L"--text", value);
        } else if (name == L"--face") {
            error = SetText(wm.wmFaceName, 32, L"--face", value);
        } else if (const NumberOption* option = FindNumber(name)) {
            long long number = 0;
            if (!DrvsimParseInt(value, option->low, option->high, &number))
                return DrvsimFail(L"%ls: '%ls' is not a number from %lld to %lld", name.c_str(), value.c_str(),
                                  option->low, option->high);
            option->store(wm, number);
        } else {
            return DrvsimFail(L"unknown option %ls", name.c_str());
        }
        if (error)
            return error;
    }
    if (ini.empty() || bmp.empty())
        return DrvsimFail(L"watermark needs --ini PATH and --bmp PATH");
    std::wstring iniPath = FullPath(ini);
    std::wstring bmpPath = FullPath(bmp);
    if (iniPath.empty() || bmpPath.empty())
        return DrvsimFail(L"a path is too long");
    if (int error = SetText(wm.wmFileName, 260, L"--bmp", bmpPath))
        return error;
    const char* field = nullptr;
    if (MfpsmDrvCheckWatermark(&wm, &field) != ERROR_SUCCESS)
        return WriteAsGiven(iniPath, wm, field);
    return DrvsimResult(MfpsmDrvWriteWatermarkJob(iniPath.c_str(), &wm), L"the job file was not written");
}

} // namespace

DRVSIM_COMMAND(watermark, L"watermark",
               L"--ini PATH --bmp PATH [--text T] [--face F] [--size PT] [--style N] [--angle DEG] "
               L"[--placement 0|1] [--density N] [--width PX] [--height PX] [--dst-scale N] [--page-density N] "
               L"[--max-page-density N] [--text-scale N] [--halftone N] [--driver-type N] [--x-shift N] "
               L"[--y-shift N]",
               Watermark);
