#include "shell/main_window_controls.h"

namespace kiosk {

namespace {

constexpr int kClientWidth = 1067;
constexpr int kClientHeight = 800;
constexpr int kBottomPanelHeight = 107;
constexpr int kButtonAreaWidth = 352;
constexpr int kButtonAreaMargin = 13;
constexpr int kButtonSize = 80;
constexpr int kKeyboardWidth = 604;
constexpr int kAnimatorWidth = 100;

ControlModel Bounds(int left, int top, int width, int height) {
    ControlModel control;
    control.Left = left;
    control.Top = top;
    control.Width = width;
    control.Height = height;
    return control;
}

ControlModel Button(int index, const char* caption) {
    ControlModel button =
        Bounds(kButtonAreaMargin + index * kButtonSize, kButtonAreaMargin, kButtonSize, kButtonSize);
    button.Caption = caption;
    return button;
}

}  // namespace

MainWindowControls DesignLayout() {
    MainWindowControls c;
    c.Window = Bounds(0, 0, kClientWidth, kClientHeight);
    c.PageArea = Bounds(0, 0, kClientWidth, kClientHeight - kBottomPanelHeight);
    c.PageArea.Caption = "Не работает";
    c.Browser = Bounds(0, 0, c.PageArea.Width, c.PageArea.Height);
    c.BottomPanel.Top = kClientHeight - kBottomPanelHeight;
    c.BottomPanel.Width = kClientWidth;
    c.BottomPanel.Height = kBottomPanelHeight;
    c.ButtonArea.Width = kButtonAreaWidth;
    c.ButtonArea.Height = kBottomPanelHeight;
    c.ButtonArea.Padding = {kButtonAreaMargin, kButtonAreaMargin, kButtonAreaMargin, kButtonAreaMargin};
    c.HomeButton = Button(0, "Начало");
    c.BackButton = Button(1, "Назад");
    c.RefreshButton = Button(2, "Освежить");
    c.KeysButton = Button(3, "Клавиши");
    c.KeyboardPlace.Left = kClientWidth - kAnimatorWidth - kKeyboardWidth;
    c.KeyboardPlace.Top = kButtonAreaMargin;
    c.KeyboardPlace.Width = kKeyboardWidth;
    c.KeyboardPlace.Height = kButtonSize;
    c.KeyboardPlace.Visible = false;
    c.BusyAnimation.Left = kClientWidth - kAnimatorWidth;
    c.BusyAnimation.Width = kAnimatorWidth;
    c.BusyAnimation.Height = kBottomPanelHeight;
    c.BusyAnimation.Visible = false;
    return c;
}

}  // namespace kiosk
