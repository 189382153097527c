#pragma once

#include <xkbcommon/xkbcommon.h>

#include <memory>

#include "keyboard/keyboard_layout.h"
#include "platform/linux/x_display.h"

struct _XkbStateRec;

namespace kiosk {

// The X server's keyboard as the captions need it: the key state from the server, and the characters
// of a key from the server's keymap (xkbcommon-x11) in the group that is in effect. A connection of
// its own receives the server's keymap changes, so a layout set at run time is followed.
class XkbKeyboardLayout : public KeyboardLayout {
public:
    // displayName as XOpenDisplay takes it; null for $DISPLAY. Throws std::runtime_error when the
    // display cannot be opened. Without XKB on the server the key state is never readable.
    explicit XkbKeyboardLayout(const char* displayName = nullptr);

    // The down bits of the keys in the table of virtual-key codes, and the toggle bits of Caps Lock,
    // Num Lock and Scroll Lock. Also takes the server's group and any new keymap.
    bool ReadKeyState(KeyState& state) override;

    // Shift (either Shift key down) and Caps Lock (toggled) are taken from state; the group is the one
    // of the last ReadKeyState.
    int KeyCharacters(std::uint16_t code, const KeyState& state, std::string& chars) override;

private:
    struct XkbFree {
        void operator()(xkb_context* context) const { xkb_context_unref(context); }
        void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
        void operator()(xkb_state* state) const { xkb_state_unref(state); }
    };

    bool LoadKeymap();
    bool KeymapChanged();
    bool ReadServerState(_XkbStateRec& server);
    void SetToggles(const _XkbStateRec& server, KeyState& state);

    XDisplay display_;
    bool hasXkb_ = false;
    int xkbEventBase_ = 0;
    std::unique_ptr<xkb_context, XkbFree> context_;
    std::unique_ptr<xkb_keymap, XkbFree> keymap_;
    std::unique_ptr<xkb_state, XkbFree> state_;  // a scratch state for the translation of keys
    unsigned group_ = 0;
    bool groupKnown_ = false;
};

}  // namespace kiosk
