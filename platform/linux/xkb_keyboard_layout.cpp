#include "platform/linux/xkb_keyboard_layout.h"

#include <X11/XKBlib.h>
#include <X11/Xlib-xcb.h>
#include <xkbcommon/xkbcommon-x11.h>

#include "keyboard/key_codes.h"
#include "platform/linux/virtual_key_codes.h"

namespace kiosk {
namespace {

constexpr std::uint8_t kDown = 0x80;
constexpr std::uint8_t kToggled = 0x01;
constexpr std::uint16_t kVkControl = 0x11;
constexpr std::uint16_t kVkMenu = 0x12;
constexpr std::uint16_t kVkRShift = 0xA1;
constexpr std::uint16_t kVkRControl = 0xA3;
constexpr std::uint16_t kVkRMenu = 0xA5;
constexpr std::uint16_t kVkNumLock = 0x90;
constexpr std::uint16_t kVkScroll = 0x91;

bool IsDeadKeysym(xkb_keysym_t sym) {
    return (sym >= XKB_KEY_dead_grave && sym <= XKB_KEY_dead_currency) ||
           (sym >= XKB_KEY_dead_a && sym <= XKB_KEY_dead_greek) ||
           (sym >= XKB_KEY_dead_lowline && sym <= XKB_KEY_dead_longsolidusoverlay);
}

int CodePointCount(const std::string& utf8) {
    int count = 0;
    for (const char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    }
    return count;
}

bool KeyDown(const char keys[32], unsigned keycode) {
    return keycode != 0 && keycode < 256 && (keys[keycode / 8] & (1 << (keycode % 8))) != 0;
}

// The generic code of a key with a left and a right form is down when either is.
void SetGenericDown(KeyState& state, std::uint16_t generic, std::uint16_t left, std::uint16_t right) {
    state[generic] = (state[left] | state[right]) & kDown;
}

}  // namespace

XkbKeyboardLayout::XkbKeyboardLayout(const char* displayName)
    : display_(displayName), context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {
    int opcode = 0;
    int errorBase = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    hasXkb_ = XkbQueryExtension(display_.get(), &opcode, &xkbEventBase_, &errorBase, &major, &minor) &&
              xkb_x11_setup_xkb_extension(XGetXCBConnection(display_.get()), XKB_X11_MIN_MAJOR_XKB_VERSION,
                                          XKB_X11_MIN_MINOR_XKB_VERSION, XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS,
                                          nullptr, nullptr, nullptr, nullptr);
    if (!hasXkb_ || !context_) return;
    // Selected before the keymap is read, so no change in between is missed.
    const unsigned long changes = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
    XkbSelectEvents(display_.get(), XkbUseCoreKbd, changes, changes);
    LoadKeymap();
}

bool XkbKeyboardLayout::LoadKeymap() {
    xcb_connection_t* connection = XGetXCBConnection(display_.get());
    const std::int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
    if (device < 0) return false;
    std::unique_ptr<xkb_keymap, XkbFree> keymap(
        xkb_x11_keymap_new_from_device(context_.get(), connection, device, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap) return false;
    std::unique_ptr<xkb_state, XkbFree> state(xkb_state_new(keymap.get()));
    if (!state) return false;
    keymap_ = std::move(keymap);
    state_ = std::move(state);
    return true;
}

// Takes the queued keyboard notifications; true when one announced a new keymap.
bool XkbKeyboardLayout::KeymapChanged() {
    bool changed = false;
    while (XPending(display_.get()) > 0) {
        XEvent event;
        XNextEvent(display_.get(), &event);
        if (event.type != xkbEventBase_) continue;
        const int kind = reinterpret_cast<const XkbAnyEvent&>(event).xkb_type;
        if (kind == XkbNewKeyboardNotify || kind == XkbMapNotify) changed = true;
    }
    return changed;
}

bool XkbKeyboardLayout::ReadServerState(XkbStateRec& server) {
    if (!hasXkb_ || XkbGetState(display_.get(), XkbUseCoreKbd, &server) != Success) return false;
    // The reply came after every notification sent before it, so these are all queued now.
    if (KeymapChanged() || !keymap_) LoadKeymap();
    group_ = server.group;
    groupKnown_ = true;
    return keymap_ != nullptr;
}

bool XkbKeyboardLayout::ReadKeyState(KeyState& state) {
    XkbStateRec server{};
    if (!ReadServerState(server)) return false;
    char keys[32] = {};
    XQueryKeymap(display_.get(), keys);
    state.fill(0);
    for (const VirtualKeyCode& key : VirtualKeyTable()) {
        if (KeyDown(keys, XKeycode(key.Vk))) state[key.Vk] = kDown;
    }
    SetGenericDown(state, kVkShift, kVkLShift, kVkRShift);
    SetGenericDown(state, kVkControl, kVkLControl, kVkRControl);
    SetGenericDown(state, kVkMenu, kVkLMenu, kVkRMenu);
    SetToggles(server, state);
    return true;
}

void XkbKeyboardLayout::SetToggles(const XkbStateRec& server, KeyState& state) {
    xkb_state_update_mask(state_.get(), server.base_mods, server.latched_mods, server.locked_mods,
                          server.base_group, server.latched_group, server.locked_group);
    const auto toggle = [&](std::uint16_t code, bool on) {
        if (on) state[code] |= kToggled;
    };
    toggle(kVkCapital,
           xkb_state_mod_name_is_active(state_.get(), XKB_MOD_NAME_CAPS, XKB_STATE_MODS_LOCKED) > 0);
    toggle(kVkNumLock, xkb_state_led_name_is_active(state_.get(), XKB_LED_NAME_NUM) > 0);
    toggle(kVkScroll, xkb_state_led_name_is_active(state_.get(), XKB_LED_NAME_SCROLL) > 0);
}

int XkbKeyboardLayout::KeyCharacters(std::uint16_t code, const KeyState& state, std::string& chars) {
    chars.clear();
    if (!groupKnown_) {
        XkbStateRec server{};
        ReadServerState(server);
    }
    const unsigned keycode = XKeycode(code);
    if (!keymap_ || keycode == 0) return 0;
    const bool shift = ((state[kVkShift] | state[kVkLShift] | state[kVkRShift]) & kDown) != 0;
    const bool caps = (state[kVkCapital] & kToggled) != 0;
    const auto mask = [&](const char* name, bool on) -> xkb_mod_mask_t {
        const xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap_.get(), name);
        return on && index != XKB_MOD_INVALID ? xkb_mod_mask_t{1} << index : 0;
    };
    xkb_state_update_mask(state_.get(), mask(XKB_MOD_NAME_SHIFT, shift), 0, mask(XKB_MOD_NAME_CAPS, caps), 0,
                          0, group_);
    if (IsDeadKeysym(xkb_state_key_get_one_sym(state_.get(), keycode))) return -1;
    const int size = xkb_state_key_get_utf8(state_.get(), keycode, nullptr, 0);
    if (size <= 0) return 0;
    chars.resize(static_cast<std::size_t>(size) + 1);
    xkb_state_key_get_utf8(state_.get(), keycode, chars.data(), chars.size());
    chars.resize(static_cast<std::size_t>(size));
    return CodePointCount(chars);
}

}  // namespace kiosk
