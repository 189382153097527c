#include "keyboard/text_field_poll.h"

namespace kiosk {

namespace {

constexpr int kFocusPollLimit = 3;

}  // namespace

void StartTextFieldPoll(Timer& poll) {
    if (poll.Enabled()) return;
    poll.Tag = 0;
    poll.SetEnabled(true);
}

void StopTextFieldPoll(Timer& poll) {
    poll.SetEnabled(false);
    poll.Tag = 0;
}

void TextFieldPollTick(Timer& poll, const std::function<bool()>& search, const KeysToggle& keys) {
    if (poll.Tag < kFocusPollLimit) {
        poll.Tag = poll.Tag + 1;
        if (search()) StopTextFieldPoll(poll);
        return;
    }
    StopTextFieldPoll(poll);
    SetKeysDown(keys, false);
}

}  // namespace kiosk
