#include "fax/cover_page.h"

#include <memory>
#include <vector>

#include "common/globals.h"
#include "common/trace.h"
#include "common/utf16.h"
#include "fax/cover_geometry.h"
#include "fax/cover_text.h"
#include "fax/fax_text.h"

namespace {

constexpr const wchar_t* kTag = L"MakeCoverPageTemp";
const unsigned char kUnicodeMark[2] = {0xFF, 0xFE};
constexpr DWORD kMessageChunkBytes = 64 * 1024;

struct HandleCloser {
    void operator()(HANDLE file) const { CloseHandle(file); }
};
using ScopedFile = std::unique_ptr<void, HandleCloser>;

ScopedFile OpenFile(const WCHAR* path, DWORD access, DWORD disposition)
{
    HANDLE file = CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    return ScopedFile(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// A missing message file is created holding only its mark, so the driver
// side finds it next time. CREATE_NEW never empties a file that exists.
bool CreateMessageFile(const WCHAR* path)
{
    ScopedFile file = OpenFile(path, GENERIC_WRITE, CREATE_NEW);
    if (!file)
        return false;
    DWORD written = 0;
    return WriteFile(file.get(), kUnicodeMark, sizeof(kUnicodeMark), &written, nullptr) &&
           written == sizeof(kUnicodeMark);
}

// Opens the message file for reading, creating it first when it is missing.
ScopedFile OpenMessageFile(const WCHAR* path)
{
    ScopedFile file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
    if (file)
        return file;
    TRACE_Tag(kTag, L"no cover message file %ls, create it", path);
    if (!CreateMessageFile(path)) {
        TRACE_TagError(kTag, L"create %ls fail!", path);
        return file;
    }
    file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
    if (!file)
        TRACE_TagError(kTag, L"open %ls fail!", path);
    return file;
}

void DrawRecords(HDC hdc, const RECT* clip, const CoverPageTemplate& records, int faxDpi)
{
    for (const CoverPageRecord& r : records) {
        if (r.kind == kCoverText)
            TextOutForCoverPage(hdc, clip, r.size, W16(r.text), r.x, r.y, r.style, faxDpi);
        else if (r.kind == kCoverLine)
            FaxLineTo(hdc, faxDpi, r.x, r.y, r.x2, r.y2, r.size);
    }
}

// The message lines follow the form. The file is read in pieces, and reading
// stops at the first line that starts below the page: later lines lie lower
// still and could not show.
void DrawMessage(HDC hdc, const RECT* clip, const CoverMessageBlock& block, int faxDpi)
{
    ScopedFile file = OpenMessageFile(g_szCoverMessageFile);
    if (!file)
        return;
    unsigned char mark[2];
    DWORD read = 0;
    if (!ReadFile(file.get(), mark, sizeof(mark), &read, nullptr) || read < sizeof(mark))
        return;

    CoverMessageSplit split = FAX_StartCoverMessage(block.firstY, block.step);
    std::vector<CoverMessageLine> lines;
    std::vector<unsigned char> chunk(kMessageChunkBytes);
    bool more = true;
    while (more) {
        more = ReadFile(file.get(), chunk.data(), kMessageChunkBytes, &read, nullptr) && read > 0;
        if (more)
            FAX_FeedCoverMessage(split, chunk.data(), read, &lines);
        else
            FAX_EndCoverMessage(split, &lines);
        for (const CoverMessageLine& line : lines) {
            if (clip && FAX_PosToPixel(block.x, line.y).y >= clip->bottom)
                return;
            TextOutForCoverPage(hdc, clip, block.fontSize, W16(line.text.c_str()), block.x, line.y, 0, faxDpi);
        }
        lines.clear();
    }
}

void MakeCoverPage(HDC hdc, const RECT* clip, const CoverPageForm& form, int faxDpi)
{
    ScopedTrace trace(kTraceProgress, kTag);
    auto records = std::make_unique<CoverPageTemplate>(form.records);
    LoadCoverPageText(*records);
    DrawRecords(hdc, clip, *records, faxDpi);
    DrawMessage(hdc, clip, form.message, faxDpi);
}

} // namespace

void LoadCoverPageText(CoverPageTemplate& records)
{
    for (size_t i = 0; i < kCoverTextRecords; ++i) {
        CoverTextSource source = FAX_CoverTextSource(i);
        GetPrivateProfileStringW(W16(source.section), W16(source.key), W16(source.fallback), W16(records[i].text),
                                 kCoverTextUnits, g_szFaxSettingsFile);
    }
}

void MakeCoverPageTemp(HDC hdc, const RECT* clip, int faxDpi)
{
    MakeCoverPage(hdc, clip, kCoverPageA4, faxDpi);
}

void MakeCoverPageTempB4(HDC hdc, const RECT* clip, int faxDpi)
{
    MakeCoverPage(hdc, clip, kCoverPageB4, faxDpi);
}

void MakeCoverPageTempA3(HDC hdc, const RECT* clip, int faxDpi)
{
    MakeCoverPage(hdc, clip, kCoverPageA3, faxDpi);
}
