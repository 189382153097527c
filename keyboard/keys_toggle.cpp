#include "keyboard/keys_toggle.h"

#include "shell/idle_return.h"

namespace kiosk {

namespace {

void ShowKeyboard(const KeysToggle& keys) {
    MainWindowControls& c = keys.controls;
    PanelModel& buttons = c.ButtonArea;
    PanelModel& keyboard = c.KeyboardPlace;
    c.BottomPanel.Height = keyboard.Height + buttons.Padding.Top + buttons.Padding.Bottom;
    keys.refreshCaptions();
    buttons.Width =
        keyboard.Left < keys.minButtonPanelWidth ? keys.minButtonPanelWidth : keyboard.Left - kKeyboardGap;
    keyboard.Enabled = true;
    keyboard.Visible = true;
}

void HideKeyboard(const KeysToggle& keys) {
    MainWindowControls& c = keys.controls;
    PanelModel& buttons = c.ButtonArea;
    int width = buttons.Padding.Left + c.HomeButton.Width + c.RefreshButton.Width + c.KeysButton.Width +
                buttons.Padding.Right + kButtonPanelSpare;
    if (c.BackButton.Enabled) width += c.BackButton.Width;
    buttons.Width = width;
    c.KeyboardPlace.Enabled = false;
    c.KeyboardPlace.Visible = false;
    c.BottomPanel.Height = c.HomeButton.Height + kBottomPanelMargin;
}

}  // namespace

void ClickKeys(const KeysToggle& keys) {
    if (keys.controls.KeysButton.Down) {
        ShowKeyboard(keys);
    } else {
        HideKeyboard(keys);
    }
    RestartIdleTimer(keys.idleTimer);
}

void SetKeysDown(const KeysToggle& keys, bool down) {
    ControlModel& button = keys.controls.KeysButton;
    if (button.Down == down) return;
    button.Down = down;
    ClickKeys(keys);
}

}  // namespace kiosk
