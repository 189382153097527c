#include "keyboard/flow_layout.h"

#include <algorithm>

namespace kiosk {

void FlowLayout(const PanelModel& panel, std::vector<PlacedKey>& children) {
    const int left = panel.Padding.Left + kFlowPanelBevel;
    const int right = panel.Width - panel.Padding.Right - kFlowPanelBevel;
    int x = left;
    int y = panel.Padding.Top + kFlowPanelBevel;
    int lineHeight = 0;
    for (PlacedKey& child : children) {
        if (x > left && x + child.Width > right) {
            x = left;
            y += lineHeight;
            lineHeight = 0;
        }
        child.Left = x;
        child.Top = y;
        x += child.Width;
        lineHeight = std::max(lineHeight, child.Height);
    }
}

}  // namespace kiosk
