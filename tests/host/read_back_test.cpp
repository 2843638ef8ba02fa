#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "monitor/read_back.h"

namespace {

using std::nullopt;

SM_KeyState State(std::optional<std::u16string> value, std::optional<std::u16string> stamp)
{
    SM_KeyState state;
    state.whole = true;
    state.value = value;
    state.stamp = stamp;
    return state;
}

const SM_KeyState kNoSection;

// A block as GetPrivateProfileSection fills it, without the final NUL.
std::u16string Block(std::initializer_list<std::u16string_view> entries)
{
    std::u16string block;
    for (std::u16string_view entry : entries) {
        block += entry;
        block += u'\0';
    }
    return block;
}

} // namespace

TEST(ReadBack, KeyAndStampComeFromTheSectionBlock)
{
    SM_KeyState state = SM_KeyStateOf(Block({u"PrinterName=Office", u"message=0", u"LASTMSG=12", u"Status=33|"}),
                                      u"Message", u"LastMsg");
    EXPECT_TRUE(state.whole);
    EXPECT_EQ(state.value, std::u16string(u"0"));
    EXPECT_EQ(state.stamp, std::u16string(u"12"));

    EXPECT_EQ(SM_KeyStateOf(u"", u"Message", u"LastMsg"), kNoSection);
    EXPECT_EQ(SM_KeyStateOf(Block({u"Status=33|", u"; note", u"Message="}), u"Message", u"LastMsg"),
              State(nullopt, nullopt));
    // The last entry may lack its NUL when the block was cut at the buffer's end.
    const char16_t cut[] = u"LastMsg=-4\0Message=1027";
    EXPECT_EQ(SM_KeyStateOf(std::u16string_view(cut, std::size(cut) - 1), u"Message", u"LastMsg"),
              State(u"1027", u"-4"));
}

// Two profile writes that met leave lines cut and joined; such a value was
// written by nobody and must not pass for the driver's new stamp.
TEST(ReadBack, ValueThatIsNoNumberCountsAsMissing)
{
    SM_KeyState state =
        SM_KeyStateOf(Block({u"Message=0[Pr", u"LastMsg=1[Jo[Job Information]"}), u"Message", u"LastMsg");
    EXPECT_EQ(state, State(nullopt, nullopt));
    EXPECT_EQ(SM_KeyStateOf(Block({u"LastMsg=-"}), u"Message", u"LastMsg").stamp, nullopt);
}

TEST(ReadBack, JudgesEachReadAgainstTheStateBeforeOurWrite)
{
    const SM_KeyState before = State(u"1027", u"5");
    const struct {
        const char* what;
        SM_KeyState before;
        SM_KeyState now;
        SM_ReadBack verdict;
    } cases[] = {
        {"ours in place", before, State(u"0", u"5"), SM_ReadBack::Seen},
        {"ours in place under a new stamp", before, State(u"0", u"6"), SM_ReadBack::Seen},
        {"old value back", before, State(u"1027", u"5"), SM_ReadBack::PutBack},
        {"keys dropped by a rewrite from a cut read", before, State(nullopt, nullopt), SM_ReadBack::PutBack},
        {"old value, stamp dropped", before, State(u"1027", nullopt), SM_ReadBack::PutBack},
        {"read met a rewrite", before, kNoSection, SM_ReadBack::Unsure},
        {"new status posted", before, State(u"1027", u"6"), SM_ReadBack::Answered},
        {"driver wrote the key", before, State(u"1026", u"5"), SM_ReadBack::Answered},
        {"no stamp ever, key dropped", State(nullopt, nullopt), State(nullopt, nullopt), SM_ReadBack::PutBack},
        {"no stamp ever, one posted", State(nullopt, nullopt), State(nullopt, u"1"), SM_ReadBack::Answered},
        {"no section before, none now", kNoSection, kNoSection, SM_ReadBack::PutBack},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SM_JudgeReadBack(c.before, c.now, u"0"), c.verdict) << c.what;
}

TEST(ReadBack, TallyWantsOurValueTwiceAndAnAnswerTwiceAlike)
{
    const SM_KeyState before = State(u"1027", u"5");
    const SM_KeyState ours = State(u"0", u"5");
    const SM_KeyState putBack = State(u"1027", u"5");
    const SM_KeyState posted = State(u"1027", u"6");
    const struct {
        const char* what;
        std::vector<SM_KeyState> reads;
        std::vector<SM_ReadBackStep> steps;
    } cases[] = {
        {"seen twice", {ours, ours}, {SM_ReadBackStep::LookAgain, SM_ReadBackStep::Kept}},
        {"a read that met a rewrite between",
         {ours, kNoSection, ours},
         {SM_ReadBackStep::LookAgain, SM_ReadBackStep::LookAgain, SM_ReadBackStep::Kept}},
        {"put back after one sighting: counted anew",
         {ours, putBack, ours, ours},
         {SM_ReadBackStep::LookAgain, SM_ReadBackStep::WriteAgain, SM_ReadBackStep::LookAgain,
          SM_ReadBackStep::Kept}},
        {"answer read twice alike", {posted, posted}, {SM_ReadBackStep::LookAgain, SM_ReadBackStep::Answered}},
        {"answer read twice, differently",
         {posted, State(u"1027", u"7"), State(u"1027", u"7")},
         {SM_ReadBackStep::LookAgain, SM_ReadBackStep::LookAgain, SM_ReadBackStep::Answered}},
        {"an answer that was a passing read",
         {posted, ours, posted, ours},
         {SM_ReadBackStep::LookAgain, SM_ReadBackStep::LookAgain, SM_ReadBackStep::LookAgain,
          SM_ReadBackStep::Kept}},
    };
    for (const auto& c : cases) {
        SM_ReadBackTally tally;
        for (size_t i = 0; i < c.reads.size(); ++i)
            EXPECT_EQ(SM_TallyReadBack(tally, before, c.reads[i], u"0"), c.steps[i]) << c.what << ", read " << i;
    }
}
