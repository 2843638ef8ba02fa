// What a read-back of an answer the program wrote into the status exchange
// file says. The driver side rewrites the whole file from what it read a
// moment before, so our key may be put back as it was; and under Wine a
// profile write empties the file and then writes it section by section, so a
// read that meets it sees the file empty or cut after a section.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Our key and the driver's change stamp ("LastMsg") as one read of section
// "Printer Information" found them; whole is false when the section was not
// there at all.
struct SM_KeyState {
    bool whole = false;
    std::optional<std::u16string> value;
    std::optional<std::u16string> stamp;

    bool operator==(const SM_KeyState& other) const
    {
        return whole == other.whole && value == other.value && stamp == other.stamp;
    }
};

// The state of key in a section block as GetPrivateProfileSection gives it:
// "name=value" entries, each ended by a NUL, names in any letter case. An
// empty block is a missing section; a value that is not a whole number
// (both keys hold one) is a missing value.
SM_KeyState SM_KeyStateOf(std::u16string_view block, std::u16string_view key, std::u16string_view stampKey);

enum class SM_ReadBack {
    Seen,      // our value is in place
    PutBack,   // the state from before our write is back: write again
    Answered,  // the driver wrote the key or a new stamp since: leave it
    Unsure,    // the read met a rewrite (no section): look again
};

// Judges a read-back of ours against the state read just before our write.
// Only a value or stamp that is there counts as the driver's answer: a
// rewrite from a read that met another rewrite drops keys, it adds none.
SM_ReadBack SM_JudgeReadBack(const SM_KeyState& before, const SM_KeyState& now, std::u16string_view ours);

// The read-backs of one write so far.
struct SM_ReadBackTally {
    int seen = 0;                         // sightings of our value since our last write
    std::optional<SM_KeyState> answered;  // the driver's answer as the last read found it
};

enum class SM_ReadBackStep {
    Kept,       // our value was seen in place twice in a row
    Answered,   // the driver's answer was read twice alike
    WriteAgain,
    LookAgain,
};

// What to do after one more read-back. The value must be seen twice, as a
// stale rewrite may land between the two; an answer must be read twice
// alike, as a read that meets a rewrite can find a line cut short.
SM_ReadBackStep SM_TallyReadBack(SM_ReadBackTally& tally, const SM_KeyState& before, const SM_KeyState& now,
                                 std::u16string_view ours);
