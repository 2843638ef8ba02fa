#include "prompts/prompt_texts.h"

#include <array>

namespace {

struct RowTexts {
    const char16_t* english;
    const char16_t* traditionalChinese;
    const char16_t* simplifiedChinese;
};

constexpr RowTexts kRows[kPromptRows] = {
    {u"Storage Print",
     u"儲存列印-保存",
     u"储存列印-保存"},  // 0: title of a storage print
    {u"Security Print",
     u"儲存列印-加密",
     u"储存列印-安全"},  // 1: title of a security print
    {u"ID:",
     u"工作名稱:",
     u"工作名称:"},  // 2: job ID label
    {u"Please enter English characters or digits. Up to 16 characters or digits are allowed. ID redundant will add on the serial number automatically behind input ID.",
     u"請輸入英文字母或數字，最多輸入16個字元，名稱重覆會自動在輸入的名稱後方加上流水號。",
     u"请输入英文字母或数字，最多输入16个字元，名称重覆会自动在输入的名称后方加上流水号。"},  // 3: job ID hint
    {u"Password:",
     u"密碼:",
     u"密码:"},  // 4: password label
    {u"Please enter English characters or digits. Up to 16 digits are allowed.",
     u"請輸入英文字母或數字，最多輸入16個字元。",
     u"请输入英文字母或数字，最多输入16个字元。"},  // 5: password hint
    {u"Delete this file after printing.",
     u"列印後刪除",
     u"打印后删除"},  // 6: delete-after-printing check box
    {u"OK",
     u"確定",
     u"确定"},  // 7: OK button
    {u"User authentication",
     u"使用者認證",
     u"使用者认证"},  // 8: title of the accounting dialog
    {u"User Name:",
     u"使用者名稱:",
     u"使用者名称:"},  // 9: user name label
    {u"Please enter English characters or digits. Up to 28 characters or digits are allowed.",
     u"請輸入英文字母或數字，最多輸入28個字元。",
     u"请输入英文字母或数字，最多输入28个字元。"},  // 10: user name hint
    {u"Password:",
     u"密碼:",
     u"密码:"},  // 11: password label
    {u"Please enter English characters or digits. Up to 28 digits are allowed.",
     u"請輸入英文字母或數字，最多輸入28個字元。",
     u"请输入英文字母或数字，最多输入28个字元。"},  // 12: password hint
    {u"OK",
     u"確定",
     u"确定"},  // 13: OK button
};

using PromptTable = std::array<std::array<const char16_t*, kPromptLanguages>, kPromptRows>;

// Columns 1 and 2 are the two Chinese scripts; every other language the
// driver can ask for has no translation yet and reads English.
constexpr PromptTable MakeTable()
{
    PromptTable table{};
    for (int row = 0; row < kPromptRows; ++row) {
        for (int column = 0; column < kPromptLanguages; ++column)
            table[row][column] = kRows[row].english;
        table[row][1] = kRows[row].traditionalChinese;
        table[row][2] = kRows[row].simplifiedChinese;
    }
    return table;
}

constexpr PromptTable kPromptTexts = MakeTable();

} // namespace

const char16_t* SM_PromptText(int row, int language)
{
    if (row < 0 || row >= kPromptRows)
        return u"";
    if (language < 0 || language >= kPromptLanguages)
        language = 0;
    return kPromptTexts[row][language];
}
