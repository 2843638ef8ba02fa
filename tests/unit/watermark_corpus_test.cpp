// The pictures of the watermark and fax jobs, byte for byte: a corpus of
// jobs (every angle class, one copy and tiled, the styles, the scales, every
// halftone screen, tiny, huge, long and CJK text, the fax forms and the
// "From: " line) whose BMP files must keep their SHA-256. The sums were taken
// from the plain renderer that drew every copy with its own TextOut into a
// screen-compatible bitmap; any faster way of drawing must give the same
// bytes. They hold for this machine's Wine and fonts (Liberation, WenQuanYi
// Micro Hei): a change of either is the one reason to take them again.
#include <windows.h>
#include <bcrypt.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "testkit/wine_test.h"
#include "watermark/base64.h"
#include "watermark/settings.h"
#include "watermark/wm_job.h"

namespace {

struct WatermarkCase {
    const char* name;
    const wchar_t* text;
    const wchar_t* face;
    int fontSize;
    int style;
    int angle;
    int placement;
    int density;
    unsigned halftone;
    int width;
    int height;
    int dstScale;
    int textScale;
    const char* sha256;
};

const wchar_t kLong[] =
    L"CONFIDENTIAL - for the addressee only - do not copy, forward or print again - "
    L"CONFIDENTIAL - for the addressee only - do not copy, forward or print again - "
    L"CONFIDENTIAL - for the addressee only - do not copy, forward or print again - "
    L"CONFIDENTIAL - 259 units!";
static_assert(sizeof(kLong) / sizeof(kLong[0]) == WM_TEXT_MAX_LEN, "a text of 259 units");

// Small pages where the case allows; one full A4 page at 600 dpi, the page
// the driver sends most.
const WatermarkCase kWatermarks[] = {
    {"angle 0, one copy", L"DRAFT", L"Arial", 10, 0, 0, 0, 60, 0, 640, 400, 1, 100,
     "e0eed7fa077085b47554e133d6782b0512f9d3fb5a167b16618a8260a37af68a"},
    {"angle 0, tiled", L"DRAFT", L"Arial", 4, 0, 0, 1, 20, 1, 640, 400, 1, 100,
     "8ddf828174c2c05b31bcdd560f07cc5fb6e814a3e1384abef03f7fb33ebb5022"},
    {"angle 30, tiled", L"DRAFT", L"Arial", 5, 0, 30, 1, 40, 2, 640, 400, 1, 100,
     "2bceebbc70d757bc5d6d3d575052663297e274d2392cd29db53b04a5252bb54b"},
    {"angle 45, one copy", L"DRAFT", L"Arial", 10, 0, 45, 0, 80, 3, 640, 400, 1, 100,
     "cd7f601759f16879ec2fd30ddb432c30a58bc017b1f52f546686b27676d5c904"},
    {"angle 45, tiled", L"Copy", L"Arial", 5, 0, 45, 1, 100, 4, 640, 400, 1, 100,
     "a4e7a6f7bf6030983ea84d01a29ced39d0d489375dc7b7531f70deb3448db2f6"},
    {"angle 90, tiled", L"DRAFT", L"Arial", 5, 0, 90, 1, 60, 5, 640, 400, 1, 100,
     "f79147ac7d965c50447a0a0227b3189d3fc2624015d2568620418bc278b4cdef"},
    {"angle 135, tiled", L"DRAFT", L"Arial", 5, 0, 135, 1, 60, 6, 640, 400, 1, 100,
     "e2736aaa8c46ee644ae1cf4276eb91fec6c78ecd47d8116396eba7557aa12e14"},
    {"angle 180, one copy", L"DRAFT", L"Arial", 10, 0, 180, 0, 60, 7, 640, 400, 1, 100,
     "686b0af437339c3589e3b834b47e7725acb6120c62a4abe67c37def67874a43b"},
    {"angle 180, tiled", L"DRAFT", L"Arial", 5, 0, 180, 1, 60, 8, 640, 400, 1, 100,
     "74c7e6dca30b1248ec5408cae36fbddd3c35c3a10ca914e590e8d74a49ddeb4f"},
    {"angle 270, tiled", L"DRAFT", L"Arial", 5, 0, 270, 1, 60, 0, 640, 400, 1, 100,
     "da2255d8683ad181c4108685816b955bb53797186e3ca8614a6eeb385ce5abfb"},
    {"angle 300, tiled", L"DRAFT", L"Arial", 5, 0, 300, 1, 60, 0, 640, 400, 1, 100,
     "34b06d1d068f2f49d19833f226e28624a991db185afa90193eda4e0480c4530a"},
    {"angle 359, tiled", L"DRAFT", L"Arial", 5, 0, 359, 1, 60, 0, 640, 400, 1, 100,
     "8f3ab8885642dceebb2b66c56086c4fdf1e4a340ac3c80d30b76d9105b3d9824"},
    {"angle 360, one copy", L"DRAFT", L"Arial", 10, 0, 360, 0, 60, 0, 640, 400, 1, 100,
     "e0eed7fa077085b47554e133d6782b0512f9d3fb5a167b16618a8260a37af68a"},
    {"bold, tiled", L"DRAFT", L"Arial", 5, 1, 30, 1, 60, 0, 640, 400, 1, 100,
     "053c1db3cbf2299dce2a19ee3ccadfa228c21ed783f86f670cdbf177cc565979"},
    {"italic, tiled", L"DRAFT", L"Arial", 5, 2, 30, 1, 60, 0, 640, 400, 1, 100,
     "e07724d4516d7bbee4ea3910343e840ca37326c6cb353fe871646a003bec07ba"},
    {"bold italic, one copy", L"DRAFT", L"Arial", 10, 3, 60, 0, 60, 0, 640, 400, 1, 100,
     "41198b9c3844274819baff1f3c0401e346b5ab86b9f740a5ad00fdf89d437102"},
    {"nDstScale 2, tiled", L"DRAFT", L"Arial", 3, 0, 30, 1, 60, 1, 640, 400, 2, 100,
     "6cf7463fcdd990789ce4a1daa797f778c3fb16e48a5368556a16dff6f7b7eb77"},
    {"fTextScale 1.5, one copy", L"DRAFT", L"Arial", 6, 0, 20, 0, 60, 0, 640, 400, 1, 150,
     "215f761cdd2ffc2cb55a782855fe42e49862ea5ac476d3f571c45195ef14d006"},
    {"fTextScale 1.5, tiled", L"DRAFT", L"Arial", 4, 0, 20, 1, 60, 0, 640, 400, 1, 150,
     "02d00d4a6c0efa2a7ee22f5c2756f53a21739801d0c62a5b51a6c6d98065352b"},
    {"fTextScale 0.5, tiled", L"DRAFT", L"Arial", 8, 0, 20, 1, 60, 0, 640, 400, 1, 50,
     "281585b6e5013c964f276b00018f3d54df89baede9137f7d6604af4c199fe71a"},
    {"tiny text, tiled", L"tiny", L"Arial", 1, 0, 30, 1, 100, 0, 320, 200, 1, 100,
     "985656f9cbd804a810025c923fd09c1019729c0a35f140c63df8d2596cf5769c"},
    {"huge text, one copy", L"XL", L"Arial", 288, 1, 10, 0, 60, 0, 1200, 900, 1, 100,
     "f6d931864c51518bd45c749c783056ddcd7bfbe2059eab0192ef565bec257688"},
    {"font height past 16 bits", L"DRAFT", L"Arial", 288, 0, 0, 0, 60, 0, 640, 400, 2, 200,
     "e0a263cece3dcc048e47292ec4e59dc4220fb1fcda2200459046a603dd41cb47"},
    {"huge text, tiled", L"W", L"Arial", 120, 0, 80, 1, 60, 0, 1200, 900, 1, 100,
     "622ca4551ebc812ecdf970b7f9b37161e1a6dd53e6023daad3a927bb5c6006b8"},
    {"long text, tiled", kLong, L"Arial", 2, 0, 15, 1, 60, 0, 640, 400, 1, 100,
     "6404434957365bea50b2d386508c3fa80c697df0242b3867024ac2b3b0ab94ae"},
    {"long text, one copy", kLong, L"Arial", 3, 0, 0, 0, 60, 0, 640, 400, 1, 100,
     "22d67995b54510848ecb03e2007cfbad65b3709616c70049fc6b80d675cf188a"},
    {"CJK text, tiled", L"\u793e\u5916\u79d8 \u6a5f\u5bc6", L"WenQuanYi Micro Hei", 5, 0, 30, 1, 60, 0,
     640, 400, 1, 100,
     "adec746114798e4d73edae0ffbcfc856e3a0e77ff5d93d0de4066d1260232931"},
    {"unknown face, one copy", L"DRAFT", L"No Such Face", 8, 0, 30, 0, 60, 0, 640, 400, 1, 100,
     "17123de715e43d5fa8cb2f6330d0b7202bd94bceba39a631f911fa9c2c3c3483"},
    {"empty text", L"", L"Arial", 10, 0, 30, 1, 60, 0, 640, 400, 1, 100,
     "0f71f6bd7e6352ed0802b43ecc2297b426c447b17e497041540b069ff506b394"},
    {"odd width, tiled", L"DRAFT", L"Arial", 5, 0, 30, 1, 60, 1, 613, 397, 1, 100,
     "1226c514037dc5685a7aadccee94bc09e5a4a8fbf739051495d8faf506475138"},
    {"A4 600 dpi, tiled", L"DRAFT", L"Arial", 36, 0, 30, 1, 60, 0, 4960, 7016, 1, 100,
     "f3bbfe716a86a7b380863db4ed5c00c80372dd0c0fbe17de06b6c8c3c660274c"},
};

// The 32-bit program under the 32-bit Wine (its own prefix, its own x87
// arithmetic in the text placement, its own fallback for an unknown face)
// draws these pages a pixel apart from the 64-bit one; the sums were taken
// from the 32-bit program of the plain renderer, like the others.
struct ArchitectureSum {
    const char* name;
    const char* sha256;
};
const ArchitectureSum kWin32Sums[] = {
    {"angle 270, tiled", "e1290076c7dac9fe91f402b225372aa25da578af944a9697f5e028c3dad788b8"},
    {"nDstScale 2, tiled", "f059da7ee2b7f1de9a0c33d4945fc44f6316d2781e52528b6d2abee2cac77139"},
    {"huge text, tiled", "4caa8f62b41b2439d6a9fcf510396cd864e339a4cbcea08169430ba39e64f5e6"},
    {"unknown face, one copy", "8441487299fc1326daa716109c74958c634a1d8af06371a4de2141e002467adf"},
    {"A4 600 dpi, tiled", "c46a69d2c10684cd58b98966912ceb8596a3b62bdd8335f077ffe5970b4d01b9"},
};

std::string ExpectedSum(const WatermarkCase& c)
{
    if (sizeof(void*) == 4) {
        for (const ArchitectureSum& a : kWin32Sums) {
            if (std::string(a.name) == c.name)
                return a.sha256;
        }
    }
    return c.sha256;
}

struct FaxCase {
    const char* name;
    const wchar_t* settings;
    const wchar_t* message;  // null: no message file
    int width;
    int height;
    const char* sha256;
};

const wchar_t kSender[] =
    L"[SenderInformation]\r\nName=Ana Ruiz\r\nCom=Orchard Tools\r\nDep=Accounts\r\nTel=+34 91 555 0100\r\n"
    L"FaxNum=+34 91 555 0199\r\n";

const FaxCase kFaxPages[] = {
    {"fax A4 cover page",
     L"[DataForSM]\r\nPaperSize=9\r\nenableCoverPage=1\r\nOrientation=0\r\nYres=196\r\n",
     L"First line.\r\nSecond line, a little longer.\r\n",
     1728, 2292,
     "4b330d66f49e6827af91ea05e5c7b0035f7d5e31da664afad46d5a52f8947e80"},
    {"fax A4 cover page at 600 dpi",
     L"[DataForSM]\r\nPaperSize=9\r\nenableCoverPage=1\r\nOrientation=0\r\nYres=196\r\n",
     L"First line.\r\nSecond line.\r\n",
     4960, 7016,
     "3095a90521735e5a84719c70c2e59e4b55afba5d930e9a9d91b371d0d6a38f1d"},
    {"fax B4 cover page", L"[DataForSM]\r\nPaperSize=12\r\nenableCoverPage=1\r\nOrientation=1\r\nXres=204\r\n",
     L"One line without its end", 2048, 2809,
     "cca5128d307d744808e3781b5057a92aa4f77f4c39a9c0a60fca35302dc0e1db"},
    {"fax A3 cover page", L"[DataForSM]\r\nPaperSize=8\r\nenableCoverPage=1\r\nYres=98\r\n",
     L"Line one\r\nLine two\r\nLine three\r\n", 2432, 3241,
     "37d30ff245eae8eaa57dd24816da4d54525df14192fd6598ee30683de20f0d81"},
    {"fax From line", L"[DataForSM]\r\nenableCoverPage=2\r\n", nullptr, 1728, 2292,
     "6f9f43ba04bbec8c48bb3ba406d80d217488c9a85d6c655875271ded77a776f5"},
};

std::string Sha256(const std::vector<unsigned char>& bytes)
{
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0)
        return "no SHA-256";
    unsigned char digest[32] = {};
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool done = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0 &&
                BCryptHashData(hash, const_cast<PUCHAR>(bytes.data()), static_cast<ULONG>(bytes.size()), 0) == 0 &&
                BCryptFinishHash(hash, digest, sizeof(digest), 0) == 0;
    if (hash)
        BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    if (!done)
        return "SHA-256 failed";
    std::string hex;
    char two[3];
    for (unsigned char b : digest) {
        snprintf(two, sizeof(two), "%02x", b);
        hex += two;
    }
    return hex;
}

JobWM Record(const std::wstring& bmp, const wchar_t* text, const wchar_t* face)
{
    JobWM job{};
    wcsncpy(reinterpret_cast<wchar_t*>(job.wm.wmText), text, WM_TEXT_MAX_LEN - 1);
    wcsncpy(reinterpret_cast<wchar_t*>(job.wm.wmFaceName), face, WM_FONTFACE_MAX_LEN - 1);
    wcsncpy(reinterpret_cast<wchar_t*>(job.wmFileName), bmp.c_str(), WM_TEXT_MAX_LEN - 1);
    job.nPageDensity = 1;
    job.nMaxPageDensity = 1;
    return job;
}

// Runs the whole job from its INI file and gives the sum of what it wrote.
std::string RunJob(const JobWM& job, const ScratchDir& dir)
{
    const std::wstring ini = dir.File(L"job.ini");
    const std::wstring bmp = dir.File(L"out.bmp");
    DeleteFileW(bmp.c_str());
    std::string encoded = MISC_Base64Encode(reinterpret_cast<const uint8_t*>(&job), sizeof(job));
    std::wstring value(encoded.begin(), encoded.end());
    if (!WritePrivateProfileStringW(L"Job Information", L"Param", value.c_str(), ini.c_str()))
        return "job INI not written";
    const int result = SM_CreateTextBMPUsingIni_New(ini.c_str());
    if (result != 1)
        return "job result " + std::to_string(result);
    return Sha256(ReadAllBytes(bmp));
}

class WatermarkCorpus : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitProcessValues();
        const std::wstring docs = CommonDocumentsDir();
        ASSERT_FALSE(docs.empty());
        settings_ = docs + L"str.ini";
        cover_ = docs + L"cover.ini";
        RemoveFaxFiles();
    }
    void TearDown() override { RemoveFaxFiles(); }
    void RemoveFaxFiles()
    {
        DeleteFileW(settings_.c_str());
        DeleteFileW(cover_.c_str());
    }

    ScratchDir dir_;
    std::wstring settings_;
    std::wstring cover_;
};

} // namespace

TEST_F(WatermarkCorpus, WatermarkPicturesKeepTheirBytes)
{
    for (const WatermarkCase& c : kWatermarks) {
        JobWM job = Record(dir_.File(L"out.bmp"), c.text, c.face);
        job.wm.wFontSize = static_cast<uint16_t>(c.fontSize);
        job.wm.wStyle = static_cast<uint16_t>(c.style);
        job.wm.wAngleDegree = static_cast<uint16_t>(c.angle);
        job.wm.wPlacement = static_cast<uint16_t>(c.placement);
        job.wm.wDensity = static_cast<uint16_t>(c.density);
        job.HalftoneType = c.halftone;
        job.nWidth = c.width;
        job.nHeight = c.height;
        job.nDstScale = c.dstScale;
        job.nTextScale = c.textScale;
        EXPECT_EQ(RunJob(job, dir_), ExpectedSum(c)) << c.name;
    }
}

TEST_F(WatermarkCorpus, FaxPagesKeepTheirBytes)
{
    for (const FaxCase& c : kFaxPages) {
        RemoveFaxFiles();
        std::vector<unsigned char> settings = Utf16File(std::wstring(c.settings) + kSender);
        ASSERT_TRUE(WriteAllBytes(settings_, settings.data(), settings.size()));
        if (c.message) {
            std::vector<unsigned char> message = Utf16File(c.message);
            ASSERT_TRUE(WriteAllBytes(cover_, message.data(), message.size()));
        }
        JobWM job = Record(dir_.File(L"out.bmp"), L"", L"Arial");
        job.wm.wFontSize = 10;
        job.wm.wDensity = 100;
        job.nWidth = c.width;
        job.nHeight = c.height;
        job.nDstScale = 1;
        job.nTextScale = 100;
        job.DriverType = WM_DRIVER_FAX;
        EXPECT_EQ(RunJob(job, dir_), c.sha256) << c.name;
    }
}
