#pragma once

#include <functional>

#include "keyboard/keys_toggle.h"
#include "os/timer.h"

namespace kiosk {

// The poll that repeats the text-field search for marked documents, on its own timer whose Tag
// counts the searches.

// Starts the poll; a running poll keeps its count.
void StartTextFieldPoll(Timer& poll);

void StopTextFieldPoll(Timer& poll);

// One tick: up to 3 searches, the poll ending when one finds a field; the tick after them ends the
// poll and closes the keyboard, even one the user opened.
void TextFieldPollTick(Timer& poll, const std::function<bool()>& search, const KeysToggle& keys);

}  // namespace kiosk
