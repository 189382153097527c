#pragma once

#include <string>

#include "tests/support/xvfb_display.h"

namespace kiosk::testing {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Saves the whole screen of display as a PNG file.
void SaveScreenshot(const XvfbDisplay& display, const std::string& path);

// How many pixels of rect in the PNG file at path are close to the colour "#rrggbb" (each channel
// within tolerance of 255).
long CountPixelsNear(const std::string& path, const ScreenRect& rect, const std::string& colour,
                     int tolerance = 40);

// How many pixels differ between two screenshots of the same size.
long CountDifferentPixels(const std::string& first, const std::string& second);

// How many top-level windows are shown on the screen.
int ShownWindowCount(const XvfbDisplay& display);

// The geometry of the first window whose name is name, as xdotool reports it; width 0 when there is
// none.
ScreenRect WindowGeometry(const XvfbDisplay& display, const std::string& name);

// Mouse clicks and key presses through the X server, as a user's would be.
// Moves the pointer there, as a hand does before it presses.
void MovePointer(const XvfbDisplay& display, int x, int y);
void ClickAt(const XvfbDisplay& display, int x, int y, int button = 1);
void PressKeys(const XvfbDisplay& display, const std::string& keys);

}  // namespace kiosk::testing
