#include "shell/density_scaling.h"

namespace kiosk {

int ScaledFontHeight(int fontHeight, int pixelsPerInch, const DesignDensity& design) {
    if (pixelsPerInch <= 0) return fontHeight;
    return RoundedRatio(fontHeight, pixelsPerInch, design.PixelsPerInch, Halves::AwayFromZero);
}

ScaleRatio DensityScale(int pixelsPerInch, const DesignDensity& design, const TextHeightOf& textHeight) {
    if (pixelsPerInch <= 0 || pixelsPerInch == design.PixelsPerInch) return {};
    const int measured = textHeight(ScaledFontHeight(design.FontHeight, pixelsPerInch, design));
    if (measured <= 0) return {};
    return {measured, design.TextHeight};
}

namespace {

// The top left corner of a control in window coordinates, before and after scaling.
struct Corner {
    int designX = 0;
    int designY = 0;
    int scaledX = 0;
    int scaledY = 0;
};

// Scales the control's edges in window coordinates; its bounds are relative to parent. Returns the
// control's own corner, for its children.
Corner ScaleBounds(ControlModel& control, const Corner& parent, ScaleRatio ratio) {
    const int left = parent.designX + control.Left;
    const int top = parent.designY + control.Top;
    const Corner corner{left, top, ratio.Apply(left), ratio.Apply(top)};
    control.Width = ratio.Apply(left + control.Width) - corner.scaledX;
    control.Height = ratio.Apply(top + control.Height) - corner.scaledY;
    control.Left = corner.scaledX - parent.scaledX;
    control.Top = corner.scaledY - parent.scaledY;
    return corner;
}

// The inner margin's edges are scaled in window coordinates as well, so that the content area scales
// as its children do.
Corner ScalePanel(PanelModel& panel, const Corner& parent, ScaleRatio ratio) {
    const int left = parent.designX + panel.Left;
    const int top = parent.designY + panel.Top;
    const int right = left + panel.Width;
    const int bottom = top + panel.Height;
    const Margins padding = panel.Padding;
    const Corner corner = ScaleBounds(panel, parent, ratio);
    panel.Padding.Left = ratio.Apply(left + padding.Left) - corner.scaledX;
    panel.Padding.Top = ratio.Apply(top + padding.Top) - corner.scaledY;
    panel.Padding.Right = ratio.Apply(right) - ratio.Apply(right - padding.Right);
    panel.Padding.Bottom = ratio.Apply(bottom) - ratio.Apply(bottom - padding.Bottom);
    return corner;
}

}  // namespace

void ScaleControls(MainWindowControls& window, ScaleRatio ratio) {
    if (ratio.IsIdentity()) return;
    // The window has no border: its size is its client area, whose corner is the origin of the
    // window coordinates.
    window.Window.Width = ratio.Apply(window.Window.Width);
    window.Window.Height = ratio.Apply(window.Window.Height);
    const Corner client;
    const Corner pageArea = ScaleBounds(window.PageArea, client, ratio);
    ScaleBounds(window.Browser, pageArea, ratio);
    const Corner bottomPanel = ScalePanel(window.BottomPanel, client, ratio);
    const Corner buttonArea = ScalePanel(window.ButtonArea, bottomPanel, ratio);
    for (ControlModel* button :
         {&window.HomeButton, &window.BackButton, &window.RefreshButton, &window.KeysButton}) {
        ScaleBounds(*button, buttonArea, ratio);
    }
    ScalePanel(window.KeyboardPlace, bottomPanel, ratio);
    ScaleBounds(window.BusyAnimation, bottomPanel, ratio);
}

}  // namespace kiosk
