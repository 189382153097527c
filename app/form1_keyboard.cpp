// The Keys button: shows or hides the keyboard and fits the bottom panel around it.

#include "app/form1.h"

namespace kiosk {

namespace {

constexpr int kKeyboardGap = 2;         // between the button panel and the keyboard
constexpr int kButtonPanelSpare = 1;    // keeps the last button from wrapping
constexpr int kBottomPanelMargin = 20;  // around the buttons while the keyboard is hidden

}  // namespace

void TForm1::RxSpeedButton1Click() {
    if (Controls.RxSpeedButton1.Down) {
        ShowKeyboard();
    } else {
        HideKeyboard();
    }
    RestartIdleTimer();
}

void TForm1::ShowKeyboard() {
    PanelModel& buttons = Controls.FlowPanel2;
    PanelModel& keyboard = Controls.FlowPanel1;
    Controls.Panel1.Height = keyboard.Height + buttons.Padding.Top + buttons.Padding.Bottom;
    RefreshCaptions();
    buttons.Width = keyboard.Left < MinButtonPanelWidth ? MinButtonPanelWidth : keyboard.Left - kKeyboardGap;
    keyboard.Enabled = true;
    keyboard.Visible = true;
}

void TForm1::HideKeyboard() {
    PanelModel& buttons = Controls.FlowPanel2;
    int width = buttons.Padding.Left + Controls.RxSpeedButton4.Width + Controls.RxSpeedButton3.Width +
                Controls.RxSpeedButton1.Width + buttons.Padding.Right + kButtonPanelSpare;
    if (Controls.RxSpeedButton2.Enabled) width += Controls.RxSpeedButton2.Width;
    buttons.Width = width;
    Controls.FlowPanel1.Enabled = false;
    Controls.FlowPanel1.Visible = false;
    Controls.Panel1.Height = Controls.RxSpeedButton4.Height + kBottomPanelMargin;
}

}  // namespace kiosk
