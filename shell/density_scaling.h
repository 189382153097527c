#pragma once

#include <functional>

#include "shell/main_window_controls.h"
#include "util/rounding.h"

namespace kiosk {

// The ratio Numerator / Denominator by which positions and sizes are scaled.
struct ScaleRatio {
    int Numerator = 1;
    int Denominator = 1;
    bool IsIdentity() const { return Numerator == Denominator; }
    int Apply(int value) const { return RoundedRatio(value, Numerator, Denominator, Halves::AwayFromZero); }
};

// The screen a window was laid out on: its pixels per inch, the character height of the window's
// font in pixels and the text height that font gives there.
struct DesignDensity {
    int PixelsPerInch;
    int FontHeight;
    int TextHeight;
};

// The main window: Tahoma 13 at 120 pixels per inch, a text height of 16.
inline constexpr DesignDensity kMainWindowDesign{120, 13, 16};
// The out-of-order caption of the page area, bold, at the main window's density.
inline constexpr int kOutOfOrderFontHeight = 33;
// The keyboard template: Tahoma 10 at 96 pixels per inch, a text height of 12.
inline constexpr DesignDensity kKeyTemplateDesign{96, 10, 12};

// The text height in pixels of the window's font at a character height in pixels; 0 when unknown.
using TextHeightOf = std::function<int(int fontHeight)>;

// A font height of the design, for a screen of pixelsPerInch (unchanged when that is not known).
int ScaledFontHeight(int fontHeight, int pixelsPerInch, const DesignDensity& design);

// The ratio for positions and sizes on a screen of pixelsPerInch: the text height of the window's font
// scaled to that screen, to the design's text height. The identity at the design's density, and when
// the text height cannot be measured.
ScaleRatio DensityScale(int pixelsPerInch, const DesignDensity& design, const TextHeightOf& textHeight);

// Scales every position and size of the window's controls and the panels' inner margins by ratio.
// The edges are scaled in window coordinates, so edges that meet stay together and every child stays
// inside its parent. The window's own position on the screen is kept.
void ScaleControls(MainWindowControls& window, ScaleRatio ratio);

}  // namespace kiosk
