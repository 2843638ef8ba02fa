#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/session_rule.h"

TEST(CommandWord, OnlyExactWordsMatch)
{
    const struct {
        std::u16string_view word;
        CommandWord expected;
    } cases[] = {
        {u"CreateTextBMP", CommandWord::CreateTextBMP}, {u"PREHEAT", CommandWord::Preheat},
        {u"uninstall", CommandWord::Uninstall},         {u"install", CommandWord::Install},
        {u"SetATM", CommandWord::SetATM},               {u"charset", CommandWord::Charset},
        {u"security", CommandWord::Security},           {u"accounting", CommandWord::Accounting},
        {u"logon", CommandWord::Logon},                 {u"Logon", CommandWord::None},
        {u"INSTALL", CommandWord::None},                {u"Preheat", CommandWord::None},
        {u"install ", CommandWord::None},               {u" install", CommandWord::None},
        {u"", CommandWord::None},                       {u"createtextbmp", CommandWord::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SM_CommandWordOf(c.word), c.expected) << std::string(c.word.begin(), c.word.end());
}

TEST(LanguageIndex, MapsTheListedIdentifiers)
{
    const int table[][2] = {{1025, 11}, {1028, 1}, {1031, 4}, {1036, 3},  {1040, 9},  {1045, 5}, {1046, 8},
                            {1049, 6},  {1055, 10}, {1065, 12}, {2052, 2}, {3082, 7}, {1033, 0}, {0, 0},
                            {-1, 0},    {1029, 0}};
    for (const auto& row : table)
        EXPECT_EQ(SM_LanguageIndexOf(row[0]), row[1]) << row[0];
}

TEST(ArgTable, CopiesArgumentsIntoTheirSlots)
{
    static ArgTable table;
    const char16_t* argv[] = {u"mfpsm.exe", u"SetATM", nullptr, u"x"};
    EXPECT_EQ(SM_FillArgTable(table, argv, 4), 3);
    EXPECT_EQ(SM_ArgText(table, 0), u"mfpsm.exe");
    EXPECT_EQ(SM_ArgText(table, 1), u"SetATM");
    EXPECT_EQ(SM_ArgText(table, 2), u"");
    EXPECT_EQ(SM_ArgText(table, 3), u"x");
    EXPECT_EQ(SM_ArgText(table, 4), u"");
    EXPECT_EQ(SM_ArgText(table, 49), u"");
}

TEST(ArgTable, CutsLongArgumentsAndIgnoresThoseBeyondTheFiftieth)
{
    static ArgTable table;
    std::u16string longArg(10000, u'a');
    std::vector<std::u16string> storage(1000, u"arg");
    storage[1] = longArg;
    storage[49] = u"last kept";
    std::vector<const char16_t*> argv;
    for (const auto& s : storage)
        argv.push_back(s.c_str());
    EXPECT_EQ(SM_FillArgTable(table, argv.data(), static_cast<int>(argv.size())), kArgSlots);
    EXPECT_EQ(SM_ArgText(table, 1), std::u16string(kArgUnits - 1, u'a'));
    EXPECT_EQ(SM_ArgText(table, 49), u"last kept");

    // A refill empties what the earlier command line left.
    const char16_t* shortArgv[] = {u"only"};
    SM_FillArgTable(table, shortArgv, 1);
    EXPECT_EQ(SM_ArgText(table, 1), u"");
}

// The process's token against the token of the user's desktop (the shell,
// or without one the desktop window's process).
TEST(SessionRule, ResidentOnlyWhereTheDesktopsUserWouldStartIt)
{
    using E = SM_Elevation;
    using R = SM_Reference;
    using V = SM_SessionVerdict;
    constexpr unsigned long kMedium = 0x2000, kHigh = 0x3000, kSystem = 0x4000;
    const struct {
        const char* what;
        SM_SessionFacts facts;
        V verdict;
    } cases[] = {
        {"admin with UAC, the filtered half", {E::Limited, false, 1, R::SameUser, kMedium, kMedium}, V::UserSession},
        {"admin elevated through UAC", {E::Full, false, 1, R::SameUser, kHigh, kMedium}, V::Elevated},
        {"UAC off: the desktop is as high", {E::Default, false, 1, R::SameUser, kHigh, kHigh}, V::UserSession},
        {"built-in Administrator", {E::Full, false, 2, R::SameUser, kHigh, kHigh}, V::UserSession},
        {"standard user", {E::Default, false, 1, R::SameUser, kMedium, kMedium}, V::UserSession},
        {"a lower start than the desktop", {E::Limited, false, 1, R::SameUser, kMedium, kHigh}, V::UserSession},
        {"over-the-shoulder credentials", {E::Full, false, 1, R::OtherUser, kHigh, 0}, V::OtherUser},
        {"runas at medium integrity", {E::Limited, false, 1, R::OtherUser, kMedium, 0}, V::OtherUser},
        {"no shell, the system's desktop", {E::Full, false, 1, R::OtherUser, kHigh, 0}, V::OtherUser},
        {"no readable reference, elevated", {E::Full, false, 1, R::None, kHigh, 0}, V::Elevated},
        {"no readable reference, filtered", {E::Limited, false, 1, R::None, kMedium, 0}, V::UserSession},
        {"no readable reference, unsplit", {E::Default, false, 1, R::None, kHigh, 0}, V::UserSession},
        {"session 0, a deferred installer action", {E::Full, false, 0, R::None, kHigh, 0}, V::ServicesSession},
        {"session 0, a service", {E::Default, true, 0, R::OtherUser, kSystem, 0}, V::ServicesSession},
        {"SYSTEM in a user's session", {E::Default, true, 1, R::OtherUser, kSystem, 0}, V::LocalSystem},
        {"SYSTEM beside its own desktop", {E::Default, true, 3, R::SameUser, kSystem, kSystem}, V::LocalSystem},
    };
    for (const auto& c : cases) {
        const V verdict = SM_JudgeSession(c.facts);
        EXPECT_EQ(verdict, c.verdict) << c.what;
        EXPECT_EQ(SM_MayStayResident(verdict), c.verdict == V::UserSession) << c.what;
        EXPECT_EQ(SM_UserCanAnswer(verdict), c.verdict != V::ServicesSession) << c.what;
    }
}
