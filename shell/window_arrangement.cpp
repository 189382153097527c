#include "shell/window_arrangement.h"

#include <algorithm>

namespace kiosk {

namespace {

Rect SizeOf(const ControlModel& control) {
    return {control.Left, control.Top, control.Width, control.Height};
}

// Places the visible buttons in rows inside area, as a flowing panel does: left to right, the first
// row on the bottom line, further rows above it.
void FlowButtons(const PanelModel& panel, const Rect& area, const ControlModel* const (&buttons)[4],
                 Rect* const (&places)[4]) {
    const int left = area.Left + panel.Padding.Left;
    const int right = area.Left + area.Width - panel.Padding.Right;
    int x = left;
    int bottom = area.Top + area.Height - panel.Padding.Bottom;
    int rowHeight = 0;
    for (int i = 0; i < 4; ++i) {
        const ControlModel& button = *buttons[i];
        if (!button.Visible) continue;
        if (x + button.Width > right && x > left) {
            x = left;
            bottom -= rowHeight;
            rowHeight = 0;
        }
        *places[i] = {x, bottom - button.Height, button.Width, button.Height};
        x += button.Width;
        rowHeight = std::max(rowHeight, button.Height);
    }
}

}  // namespace

WindowArrangement ArrangeWindow(const MainWindowControls& c) {
    WindowArrangement a;
    const int width = c.Form1.Width;
    const int bottomHeight = std::min(c.Panel1.Height, c.Form1.Height);
    a.Panel1 = {0, c.Form1.Height - bottomHeight, width, bottomHeight};
    a.Panel2 = {0, 0, width, a.Panel1.Top};
    a.FlowPanel2 = {0, a.Panel1.Top, c.FlowPanel2.Width, bottomHeight};
    a.RxGIFAnimator1 = {width - c.RxGIFAnimator1.Width, a.Panel1.Top, c.RxGIFAnimator1.Width, bottomHeight};
    a.FlowPanel1 = SizeOf(c.FlowPanel1);
    a.FlowPanel1.Top += a.Panel1.Top;
    FlowButtons(c.FlowPanel2, a.FlowPanel2,
                {&c.RxSpeedButton4, &c.RxSpeedButton2, &c.RxSpeedButton3, &c.RxSpeedButton1},
                {&a.RxSpeedButton4, &a.RxSpeedButton2, &a.RxSpeedButton3, &a.RxSpeedButton1});
    return a;
}

}  // namespace kiosk
