#pragma once

#include <cstdint>
#include <vector>

#include "keyboard/key_template.h"
#include "keyboard/placed_key.h"

namespace kiosk::testing {

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// Where the program shows its on-screen keyboard on a 96-ppi screen of width x height (the window
// and its keyboard at that density, keys and interval 0): the keys as the program's own placement
// puts them, once the keyboard is open.
class ScreenKeyboard {
public:
    ScreenKeyboard(int screenWidth, int screenHeight);

    // The middle of the key that sends code, or of the first key with action.
    ScreenPoint KeyFor(std::uint16_t code) const;
    ScreenPoint KeyWith(KeyAction action) const;
    // The middle of the key for a letter, digit or punctuation of the US layout's unshifted keys.
    ScreenPoint KeyForCharacter(char c) const;
    // The whole keyboard panel.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    ScreenPoint Middle(const PlacedKey& key) const;

    std::vector<PlacedKey> keys_;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace kiosk::testing
