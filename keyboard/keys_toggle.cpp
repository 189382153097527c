#include "keyboard/keys_toggle.h"

#include "shell/idle_return.h"

namespace kiosk {

namespace {

void ShowKeyboard(const KeysToggle& keys) {
    MainWindowControls& c = keys.controls;
    PanelModel& buttons = c.FlowPanel2;
    PanelModel& keyboard = c.FlowPanel1;
    c.Panel1.Height = keyboard.Height + buttons.Padding.Top + buttons.Padding.Bottom;
    keys.refreshCaptions();
    buttons.Width =
        keyboard.Left < keys.minButtonPanelWidth ? keys.minButtonPanelWidth : keyboard.Left - kKeyboardGap;
    keyboard.Enabled = true;
    keyboard.Visible = true;
}

void HideKeyboard(const KeysToggle& keys) {
    MainWindowControls& c = keys.controls;
    PanelModel& buttons = c.FlowPanel2;
    int width = buttons.Padding.Left + c.RxSpeedButton4.Width + c.RxSpeedButton3.Width +
                c.RxSpeedButton1.Width + buttons.Padding.Right + kButtonPanelSpare;
    if (c.RxSpeedButton2.Enabled) width += c.RxSpeedButton2.Width;
    buttons.Width = width;
    c.FlowPanel1.Enabled = false;
    c.FlowPanel1.Visible = false;
    c.Panel1.Height = c.RxSpeedButton4.Height + kBottomPanelMargin;
}

}  // namespace

void ClickKeys(const KeysToggle& keys) {
    if (keys.controls.RxSpeedButton1.Down) {
        ShowKeyboard(keys);
    } else {
        HideKeyboard(keys);
    }
    RestartIdleTimer(keys.idleTimer);
}

void SetKeysDown(const KeysToggle& keys, bool down) {
    ControlModel& button = keys.controls.RxSpeedButton1;
    if (button.Down == down) return;
    button.Down = down;
    ClickKeys(keys);
}

}  // namespace kiosk
