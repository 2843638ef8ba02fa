// The fax page: for a fax driver the bitmap job draws this instead of a
// watermark. The fax-side files live in the shared documents folder.
#pragma once

#include <windows.h>

struct JobWM;  // the watermark settings record; the fax page does not read it

// File kinds of FAX_GetPathName.
constexpr int kFaxSettingsFile = 0;  // "str.ini"
constexpr int kFaxAddressFile = 1;   // "WabGet.ini"
constexpr int kFaxCoverFile = 2;     // "cover.ini"

// Puts the shared documents folder at the start of path and appends the name
// of kind (nothing for an unknown kind). 1 when the folder was read; else 0,
// and the name is appended to what path already held. capacity bounds the
// path; a name that does not fit whole is not appended.
int FAX_GetPathName(WCHAR* path, int capacity, int kind);

// Reads the fax settings file and draws the cover page, the "From: " line or
// nothing into hdc (a white page of pageRect). hInstance and record are unused.
void WmForFax(HINSTANCE hInstance, HDC hdc, const RECT* pageRect, const JobWM* record);
