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

TEST(SessionRule, ResidentOnlyInAUsersSessionWithHisOwnRights)
{
    using E = SM_Elevation;
    using V = SM_SessionVerdict;
    const struct {
        SM_SessionFacts facts;
        V verdict;
        bool resident, prompt;
    } cases[] = {
        {{E::Default, false, 1}, V::UserSession, true, true},   // UAC off: no filtered half to leave it to
        {{E::Limited, false, 2}, V::UserSession, true, true},
        {{E::Full, false, 1}, V::Elevated, false, true},        // an elevated installer
        {{E::Default, true, 1}, V::LocalSystem, false, true},
        {{E::Full, true, 3}, V::LocalSystem, false, true},
        {{E::Default, true, 0}, V::ServicesSession, false, false},  // a service
        {{E::Limited, false, 0}, V::ServicesSession, false, false},
        {{E::Full, false, 0}, V::ServicesSession, false, false},    // a deferred installer action
    };
    for (const auto& c : cases) {
        const V verdict = SM_JudgeSession(c.facts);
        EXPECT_EQ(verdict, c.verdict) << static_cast<int>(c.facts.elevation) << " " << c.facts.localSystem << " "
                                      << c.facts.sessionId;
        EXPECT_EQ(SM_MayStayResident(verdict), c.resident) << static_cast<int>(verdict);
        EXPECT_EQ(SM_UserCanAnswer(verdict), c.prompt) << static_cast<int>(verdict);
    }
}
