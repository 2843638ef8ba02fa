// The "CreateTextBMP" job: a watermark settings record from a job INI file
// turned into a halftoned 1-bit BMP file.
#pragma once

#include <windows.h>

// 1 when the BMP was written; 0 when the record could not be read; -11 when a
// field is out of range; otherwise the negative code of the bitmap object
// (WM_HELD_ERROR: the old BMP stayed held by another process).
int SM_CreateTextBMPUsingIni_New(const WCHAR* iniPath);
