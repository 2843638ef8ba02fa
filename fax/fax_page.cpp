#include "fax/fax_page.h"

#include <cwchar>

#include "common/globals.h"
#include "common/paths.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/utf16.h"
#include "fax/cover_page.h"
#include "fax/cover_text.h"
#include "fax/fax_text.h"

namespace {

constexpr const wchar_t* kDataSection = L"DataForSM";

constexpr int kPaperA3 = 8;
constexpr int kPaperA4 = 9;
constexpr int kPaperB4 = 12;
constexpr int kFullCoverPage = 1;
constexpr int kFromLineOnly = 2;

const wchar_t* KindName(int kind)
{
    switch (kind) {
    case kFaxSettingsFile:
        return L"\\str.ini";
    case kFaxAddressFile:
        return L"\\WabGet.ini";
    case kFaxCoverFile:
        return L"\\cover.ini";
    default:
        return L"";
    }
}

int ReadDataInt(const wchar_t* key)
{
    return static_cast<int>(GetPrivateProfileIntW(kDataSection, key, 0, g_szFaxSettingsFile));
}

void DrawFromLine(HDC hdc, const RECT* pageRect, int faxDpi)
{
    WCHAR name[kTextUnits];
    GetPrivateProfileStringW(L"SenderInformation", L"Name", L"", name, kTextUnits, g_szFaxSettingsFile);
    std::u16string text = FAX_FromLine(U16View(name));
    TextOutForCoverPage(hdc, pageRect, 25, W16(text.c_str()), 20, 20, 1, faxDpi);
}

void DrawCoverPage(HDC hdc, const RECT* pageRect, int paperSize, int faxDpi)
{
    TRACE_Tag(L"WmForFax", L"settings %ls, message %ls", g_szFaxSettingsFile, g_szCoverMessageFile);
    switch (paperSize) {
    case kPaperA3:
        MakeCoverPageTempA3(hdc, pageRect, faxDpi);
        break;
    case kPaperA4:
        MakeCoverPageTemp(hdc, pageRect, faxDpi);
        break;
    case kPaperB4:
        MakeCoverPageTempB4(hdc, pageRect, faxDpi);
        break;
    default:
        TRACE_Tag(L"WmForFax", L"no cover page for paper size %d", paperSize);
        break;
    }
}

} // namespace

int FAX_GetPathName(WCHAR* path, int capacity, int kind)
{
    if (!path || capacity <= 0)
        return 0;
    int result = MISC_ReadCommonDocuments(path, static_cast<DWORD>(capacity));
    const wchar_t* name = KindName(kind);
    size_t have = MISC_TextLength(U16(path), capacity);
    if (have + wcslen(name) < static_cast<size_t>(capacity))
        MISC_AppendText(U16(path), capacity, U16View(name));
    else
        TRACE_TagError(L"FAX_GetPathName", L"%ls does not fit the path", name);
    TRACE_Tag(L"FAX_GetPathName", L"path %ls", path);
    return result;
}

void WmForFax(HINSTANCE, HDC hdc, const RECT* pageRect, const JobWM*)
{
    constexpr const wchar_t* kTag = L"WmForFax";
    ScopedTrace trace(kTraceProgress, kTag);
    // Emptied first: when the folder cannot be read the name is appended to
    // what the buffer holds, and a second job in this process must not get
    // "\str.ini\str.ini".
    g_szFaxSettingsFile[0] = L'\0';
    g_szCoverMessageFile[0] = L'\0';
    FAX_GetPathName(g_szFaxSettingsFile, kTextUnits, kFaxSettingsFile);
    FAX_GetPathName(g_szCoverMessageFile, kTextUnits, kFaxCoverFile);

    int paperSize = ReadDataInt(L"PaperSize");
    int yRes = ReadDataInt(L"Yres");
    int coverPage = ReadDataInt(L"enableCoverPage");
    int orientation = ReadDataInt(L"Orientation");
    int faxDpi = orientation == 1 ? ReadDataInt(L"Xres") : yRes;
    TRACE_Tag(kTag, L"PaperSize %d, enableCoverPage %d, Orientation %d, Faxdpi %d", paperSize, coverPage,
              orientation, faxDpi);

    if (coverPage == kFullCoverPage)
        DrawCoverPage(hdc, pageRect, paperSize, faxDpi);
    else if (coverPage == kFromLineOnly)
        DrawFromLine(hdc, pageRect, faxDpi);
    else
        TRACE_Tag(kTag, L"enableCoverPage %d: nothing to draw", coverPage);
}
