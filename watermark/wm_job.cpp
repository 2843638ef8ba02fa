#include "watermark/wm_job.h"

#include <string>

#include "common/globals.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/utf16.h"
#include "watermark/halftone_lookup.h"
#include "watermark/heap_block.h"
#include "watermark/ibitmap.h"
#include "watermark/profile_struct.h"
#include "watermark/settings.h"

namespace {

constexpr const wchar_t* kTag = L"SM_CreateTextBMPUsingIni_New";

// The table copy belongs to the job until the BMP step is over.
class TableCopy {
public:
    explicit TableCopy(DWORD halftoneType) { MISC_GetHalftoneTable(halftoneType, &width_, &height_, &data_); }
    ~TableCopy()
    {
        if (data_)
            HeapFree(GetProcessHeap(), 0, data_);
    }
    TableCopy(const TableCopy&) = delete;
    TableCopy& operator=(const TableCopy&) = delete;

    const BYTE* data() const { return data_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_ = 0;
    int height_ = 0;
    BYTE* data_ = nullptr;
};

void TraceSettings(const JobWM& job, const WCHAR* fileName)
{
    TRACE_Tag(kTag, L"nWidth = %d", job.nWidth);
    TRACE_Tag(kTag, L"nHeight = %d", job.nHeight);
    TRACE_Tag(kTag, L"nDstScale = %d", job.nDstScale);
    TRACE_Tag(kTag, L"nPageDensity = %d", job.nPageDensity);
    TRACE_Tag(kTag, L"HalftoneType = %u", job.HalftoneType);
    TRACE_Tag(kTag, L"wmFileName = %ls", fileName);
    TRACE_Tag(kTag, L"DriverType = 0x%x", job.DriverType);
}

} // namespace

int SM_CreateTextBMPUsingIni_New(const WCHAR* iniPath)
{
    iBitmap bitmap;
    HeapBlock buffer(sizeof(JobWM));
    if (!buffer.get()) {
        TRACE_TagError(kTag, L"MEMALLOC fail!");
        return 0;
    }
    JobWM& job = *buffer.as<JobWM>();
    if (!MISC_GetPrivateProfileStruct(L"Job Information", L"Param", &job, sizeof(JobWM), iniPath)) {
        TRACE_TagError(kTag, L"read watermark setting fail!");
        return 0;
    }
    // The record comes from a file: a name without its terminator is cut.
    WCHAR fileName[WM_TEXT_MAX_LEN];
    MISC_CopyText(U16(fileName), WM_TEXT_MAX_LEN,
                  std::u16string_view(job.wmFileName, MISC_TextLength(job.wmFileName, WM_TEXT_MAX_LEN)));
    TraceSettings(job, fileName);

    std::u16string error;
    if (WM_CheckSettings(job, &error) != 1) {
        TRACE_TagError(kTag, L"%ls", W16(error.c_str()));
        return WM_RANGE_ERROR;
    }
    TableCopy table(job.HalftoneType);
    job.nTableW = table.width();
    job.nTableH = table.height();
    return bitmap.iBitmap_BMPCreateTextWM(g_hInstance, fileName, &job, job.nWidth, job.nHeight, job.nDstScale,
                                          job.nPageDensity, job.nMaxPageDensity, WM_TextScale(job), table.data(),
                                          job.nTableW, job.nTableH, job.DriverType);
}
