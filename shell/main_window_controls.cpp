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
    c.Form1 = Bounds(0, 0, kClientWidth, kClientHeight);
    c.Panel2 = Bounds(0, 0, kClientWidth, kClientHeight - kBottomPanelHeight);
    c.Panel2.Caption = "Не работает";
    c.WebBrowser1 = Bounds(0, 0, c.Panel2.Width, c.Panel2.Height);
    c.Panel1.Top = kClientHeight - kBottomPanelHeight;
    c.Panel1.Width = kClientWidth;
    c.Panel1.Height = kBottomPanelHeight;
    c.FlowPanel2.Width = kButtonAreaWidth;
    c.FlowPanel2.Height = kBottomPanelHeight;
    c.FlowPanel2.Padding = {kButtonAreaMargin, kButtonAreaMargin, kButtonAreaMargin, kButtonAreaMargin};
    c.RxSpeedButton4 = Button(0, "Начало");
    c.RxSpeedButton2 = Button(1, "Назад");
    c.RxSpeedButton3 = Button(2, "Освежить");
    c.RxSpeedButton1 = Button(3, "Клавиши");
    c.FlowPanel1.Left = kClientWidth - kAnimatorWidth - kKeyboardWidth;
    c.FlowPanel1.Top = kButtonAreaMargin;
    c.FlowPanel1.Width = kKeyboardWidth;
    c.FlowPanel1.Height = kButtonSize;
    c.FlowPanel1.Visible = false;
    c.RxGIFAnimator1.Left = kClientWidth - kAnimatorWidth;
    c.RxGIFAnimator1.Width = kAnimatorWidth;
    c.RxGIFAnimator1.Height = kBottomPanelHeight;
    c.RxGIFAnimator1.Visible = false;
    return c;
}

}  // namespace kiosk
