// A UI text file holding today's built-in texts, shipped as a starting point
// for translators: every key of section "string" with its English text.
#pragma once

#include <string>
#include <vector>

// The file's text: a few comment lines, then [string] with "codepage", the
// three captions and msg001 ... msg048 in key order; lines end in CR LF.
std::u16string SM_UITextSample();

// The same as the bytes of a file: the UTF-16 mark FF FE, then the text as
// UTF-16LE, the form in which the profile functions read Unicode texts.
std::vector<unsigned char> SM_UITextSampleBytes();
