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
    const int width = c.Window.Width;
    const int bottomHeight = std::min(c.BottomPanel.Height, c.Window.Height);
    a.BottomPanel = {0, c.Window.Height - bottomHeight, width, bottomHeight};
    a.PageArea = {0, 0, width, a.BottomPanel.Top};
    a.ButtonArea = {0, a.BottomPanel.Top, c.ButtonArea.Width, bottomHeight};
    a.BusyAnimation = {width - c.BusyAnimation.Width, a.BottomPanel.Top, c.BusyAnimation.Width, bottomHeight};
    a.KeyboardPlace = SizeOf(c.KeyboardPlace);
    a.KeyboardPlace.Top += a.BottomPanel.Top;
    FlowButtons(c.ButtonArea, a.ButtonArea, {&c.HomeButton, &c.BackButton, &c.RefreshButton, &c.KeysButton},
                {&a.HomeButton, &a.BackButton, &a.RefreshButton, &a.KeysButton});
    return a;
}

}  // namespace kiosk
