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

// Failure texts: the sentence every failure begins with, then one per reason.
constexpr RowTexts kNotHanded = {
    u"Your answers could not be handed to the printer driver.",
    u"無法將您輸入的資料交給印表機驅動程式。",
    u"无法将您输入的信息交给打印机驱动程序。"};

constexpr RowTexts kFailureReasons[] = {
    {u"The printer could not be opened.",
     u"無法開啟印表機。",
     u"无法打开打印机。"},  // kNoPrinter
    {u"The printer refused access: this user account may not store them. Ask your administrator for the right to manage this printer.",
     u"印表機拒絕存取：此使用者帳戶無權儲存這些資料。請向系統管理員申請管理此印表機的權限。",
     u"打印机拒绝访问：此用户帐户无权保存这些信息。请向系统管理员申请管理此打印机的权限。"},  // kRefused
    {u"The printer did not store them.",
     u"印表機未能儲存這些資料。",
     u"打印机未能保存这些信息。"},  // kNotTaken
};

// Columns 1 and 2 are the Chinese scripts, every other column English.
const char16_t* InLanguage(const RowTexts& texts, int language)
{
    if (language == 1)
        return texts.traditionalChinese;
    if (language == 2)
        return texts.simplifiedChinese;
    return texts.english;
}

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

std::u16string SM_PromptFailureText(PromptFailure why, int language)
{
    std::u16string text = InLanguage(kNotHanded, language);
    text += u"\n\n";
    text += InLanguage(kFailureReasons[static_cast<int>(why)], language);
    return text;
}
