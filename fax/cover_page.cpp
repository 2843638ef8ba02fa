#include "fax/cover_page.h"

#include <memory>
#include <vector>

#include "common/globals.h"
#include "common/trace.h"
#include "common/utf16.h"
#include "fax/cover_text.h"
#include "fax/fax_text.h"

namespace {

constexpr const wchar_t* kTag = L"MakeCoverPageTemp";
const unsigned char kUnicodeMark[2] = {0xFF, 0xFE};

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

// The whole message file; false when it neither exists nor can be created.
bool ReadMessageFile(const WCHAR* path, std::vector<unsigned char>* bytes)
{
    ScopedFile file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
    if (!file) {
        TRACE_Tag(kTag, L"no cover message file %ls, create it", path);
        if (!CreateMessageFile(path)) {
            TRACE_TagError(kTag, L"create %ls fail!", path);
            return false;
        }
        file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
        if (!file) {
            TRACE_TagError(kTag, L"open %ls fail!", path);
            return false;
        }
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > MAXDWORD) {
        TRACE_TagError(kTag, L"size of %ls unusable", path);
        return false;
    }
    bytes->resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes->empty() && !ReadFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr)) {
        TRACE_TagError(kTag, L"read %ls fail!", path);
        return false;
    }
    bytes->resize(read);
    return true;
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

// The message lines follow the form; the file's first two bytes are its
// mark and are not checked.
void DrawMessage(HDC hdc, const RECT* clip, const CoverMessageBlock& block, int faxDpi)
{
    std::vector<unsigned char> bytes;
    if (!ReadMessageFile(g_szCoverMessageFile, &bytes))
        return;
    size_t skip = bytes.size() < 2 ? bytes.size() : 2;
    std::u16string units = FAX_UnitsFromBytes(bytes.data() + skip, bytes.size() - skip);
    for (const CoverMessageLine& line : FAX_SplitCoverMessage(units, block.firstY, block.step))
        TextOutForCoverPage(hdc, clip, block.fontSize, W16(line.text.c_str()), block.x, line.y, 0, faxDpi);
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
