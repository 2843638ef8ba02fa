// Watermark jobs as the driver side writes them, for the tests that run them.
#pragma once

#include <string>

#include "watermark/settings.h"

// A small job: TEXT in Arial 10 pt at density 100, one centred copy on a
// WIDTH x HEIGHT picture, to be written to BMP.
JobWM SmallWatermarkJob(const std::wstring& bmp, const wchar_t* text = L"DRAFT", int width = 64, int height = 32);

// The job's record in base64: the "Param" value of a job file.
std::wstring EncodedJob(const JobWM& job);
