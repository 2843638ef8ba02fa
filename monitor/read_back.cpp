#include "monitor/read_back.h"

namespace {

char16_t Lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool SameName(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    }
    return true;
}

// Every key the read-back looks at holds a whole number.
bool IsNumber(std::u16string_view text)
{
    if (!text.empty() && text[0] == u'-')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// The value of the first "name=value" entry for name, when it is a number.
// Two profile writes that meet can leave a line cut short and joined to a
// piece of another ("LastMsg=1[Jo"): no writer wrote that, so it counts as
// missing.
std::optional<std::u16string> ValueOf(std::u16string_view block, std::u16string_view name)
{
    while (!block.empty()) {
        size_t end = block.find(u'\0');
        std::u16string_view entry = block.substr(0, end);
        size_t equals = entry.find(u'=');
        if (equals != std::u16string_view::npos && SameName(entry.substr(0, equals), name)) {
            std::u16string_view value = entry.substr(equals + 1);
            if (!IsNumber(value))
                return std::nullopt;
            return std::u16string(value);
        }
        if (end == std::u16string_view::npos)
            break;
        block.remove_prefix(end + 1);
    }
    return std::nullopt;
}

} // namespace

SM_KeyState SM_KeyStateOf(std::u16string_view block, std::u16string_view key, std::u16string_view stampKey)
{
    SM_KeyState state;
    state.whole = !block.empty();
    state.value = ValueOf(block, key);
    state.stamp = ValueOf(block, stampKey);
    return state;
}

SM_ReadBack SM_JudgeReadBack(const SM_KeyState& before, const SM_KeyState& now, std::u16string_view ours)
{
    if (!now.whole)
        return before.whole ? SM_ReadBack::Unsure : SM_ReadBack::PutBack;
    if (now.value && *now.value == ours)
        return SM_ReadBack::Seen;
    if (now.stamp && now.stamp != before.stamp)
        return SM_ReadBack::Answered;
    if (now.value && now.value != before.value)
        return SM_ReadBack::Answered;
    return SM_ReadBack::PutBack;
}

SM_ReadBackStep SM_TallyReadBack(SM_ReadBackTally& tally, const SM_KeyState& before, const SM_KeyState& now,
                                 std::u16string_view ours)
{
    constexpr int kTimesSeen = 2;
    switch (SM_JudgeReadBack(before, now, ours)) {
    case SM_ReadBack::Seen:
        tally.answered.reset();
        return ++tally.seen == kTimesSeen ? SM_ReadBackStep::Kept : SM_ReadBackStep::LookAgain;
    case SM_ReadBack::Answered:
        if (tally.answered == now)
            return SM_ReadBackStep::Answered;
        tally.answered = now;
        return SM_ReadBackStep::LookAgain;
    case SM_ReadBack::PutBack:
        tally = SM_ReadBackTally();
        return SM_ReadBackStep::WriteAgain;
    case SM_ReadBack::Unsure:
        break;
    }
    return SM_ReadBackStep::LookAgain;
}
