// The watermark settings record as stored in the job INI file: base64 text
// decodes to exactly the bytes a plain bit-by-bit decoder gives, a short text
// leaves a zero tail, nothing past the record's encoded length (3132
// characters, the most the reader accepts) is read, and the range checks
// report the first field out of range in the job's order.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "watermark/base64.h"
#include "watermark/settings.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

constexpr size_t kRecordChars = 3132;

unsigned ReferenceSixBits(char c)
{
    static constexpr std::string_view kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    size_t at = kAlphabet.find(c);
    return at == std::string_view::npos ? 0 : static_cast<unsigned>(at);
}

// Six bits per character, most significant first; strangers and missing
// characters are zero bits.
std::vector<uint8_t> ReferenceDecode(std::string_view text, size_t recordSize)
{
    std::vector<uint8_t> bytes(recordSize, 0);
    size_t bit = 0;
    for (size_t c = 0; c < text.size() && bit < recordSize * 8; ++c) {
        unsigned six = ReferenceSixBits(text[c]);
        for (int k = 5; k >= 0 && bit < recordSize * 8; --k, ++bit) {
            if (six >> k & 1)
                bytes[bit / 8] |= static_cast<uint8_t>(0x80 >> (bit % 8));
        }
    }
    return bytes;
}

std::u16string Text(const char* ascii)
{
    return std::u16string(ascii, ascii + std::char_traits<char>::length(ascii));
}

std::u16string Number(long long value)
{
    return Text(std::to_string(value).c_str());
}

// The checks of the job, in its order; empty when all pass.
std::u16string FirstRangeError(const JobWM& job)
{
    const TyWM& wm = job.wm;
    if (wm.wDensity < 20 || wm.wDensity > 100)
        return u"wDensity error";
    if (wm.wFontSize < 1 || wm.wFontSize > 288)
        return u"wFontSize error, " + Number(wm.wFontSize);
    if (wm.wStyle > 3)
        return u"wStyle error";
    if (wm.wAngleDegree > 360)
        return u"wAngleDegree error";
    if (job.nDstScale < 1 || job.nDstScale > 2)
        return u"nDstScale error";
    if (job.nPageDensity < 1 || job.nPageDensity > 7)
        return u"nPageDensity error";
    if (job.nMaxPageDensity < 1 || job.nMaxPageDensity > 7)
        return u"nMaxPageDensity error";
    if (job.nTextScale < 5 || job.nTextScale > 200)
        return u"fTextScale = " + Number(job.nTextScale) + u"/100";
    if (wm.wPlacement > 1)
        return u"wPlacement error";
    return u"";
}

// Decodes into a heap block of exactly one record, so any write past it is
// an overrun.
JobWM Decode(std::string_view text)
{
    std::unique_ptr<uint8_t[]> block(new uint8_t[sizeof(JobWM)]);
    MISC_Base64Decode(text, block.get(), sizeof(JobWM));
    JobWM job;
    std::memcpy(&job, block.get(), sizeof(job));
    return job;
}

void CheckRecord(std::string_view text)
{
    JobWM job = Decode(text);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&job);
    std::vector<uint8_t> expected = ReferenceDecode(text, sizeof(JobWM));
    FUZZ_CHECK(std::memcmp(bytes, expected.data(), sizeof(JobWM)) == 0);
    for (size_t i = (text.size() * 6 + 7) / 8; i < sizeof(JobWM); ++i)
        FUZZ_CHECK(bytes[i] == 0);

    std::u16string error;
    std::u16string first = FirstRangeError(job);
    int result = WM_CheckSettings(job, &error);
    if (first.empty()) {
        FUZZ_CHECK(result == 1);
    } else {
        FUZZ_CHECK(result == WM_RANGE_ERROR);
        FUZZ_CHECK(error == first);
    }
    FUZZ_CHECK(WM_CheckSettings(job, nullptr) == result);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FUZZ_CHECK(MISC_Base64Length(sizeof(JobWM)) == kRecordChars);
    if (size < 1)
        return 0;
    std::string text;
    if (data[0] & 1) {
        // Raw record bytes (missing ones zero), stored the way the driver
        // stores them: the encoding must decode back to the same bytes.
        uint8_t record[sizeof(JobWM)] = {};
        std::memcpy(record, data + 1, std::min(size - 1, sizeof(record)));
        text = MISC_Base64Encode(record, sizeof(record));
        FUZZ_CHECK(text.size() == kRecordChars);
        JobWM back = Decode(text);
        FUZZ_CHECK(std::memcmp(&back, record, sizeof(record)) == 0);
        // Bit 1 cuts the text, as a value torn by a concurrent writer would be.
        if (data[0] & 2)
            text.resize(data[0] * 13 % kRecordChars);
    } else {
        text.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    }
    if (text.size() > kRecordChars) {
        // The reader refuses such a value; the decoder, given it anyway,
        // reads nothing past the record's own characters.
        JobWM whole = Decode(text);
        JobWM cut = Decode(std::string_view(text).substr(0, kRecordChars));
        FUZZ_CHECK(std::memcmp(&whole, &cut, sizeof(JobWM)) == 0);
        return 0;
    }
    CheckRecord(text);
    return 0;
}
