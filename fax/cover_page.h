// The cover page: one of three forms filled from the fax settings file, then
// the user's message from the cover message file. The paths of both files are
// the process-wide values set by WmForFax.
#pragma once

#include <windows.h>

#include "fax/cover_template.h"

// Fills the twelve text records of records from the fax settings file.
void LoadCoverPageText(CoverPageTemplate& records);

// Each draws one whole cover page (A4, B4, A3) into hdc, clipped to clip.
void MakeCoverPageTemp(HDC hdc, const RECT* clip, int faxDpi);
void MakeCoverPageTempB4(HDC hdc, const RECT* clip, int faxDpi);
void MakeCoverPageTempA3(HDC hdc, const RECT* clip, int faxDpi);
