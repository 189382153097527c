#pragma once

namespace kiosk {

// A screen's size in pixels and, when it is known, in millimetres (0 when not).
struct ScreenSize {
    int WidthPixels = 0;
    int HeightPixels = 0;
    int WidthMillimetres = 0;
    int HeightMillimetres = 0;
};

// The pixels per inch of a screen of that size, rounded; 0 when the millimetres are unknown or not
// believable: either direction outside 50 to 300 pixels per inch, or the two directions more than a
// tenth apart. Monitors that report no size, an aspect ratio in place of their size, or the size of a
// television or projector are so recognised.
int PixelsPerInch(const ScreenSize& size);

// The density the window is laid out for: the monitor's, measured from its physical size when that is
// believable; else the resolution the X screen is set to; else 96.
int ChooseScreenDensity(const ScreenSize& monitor, const ScreenSize& xScreen);

}  // namespace kiosk
