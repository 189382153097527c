#pragma once

namespace kiosk {

// The pixels per inch of the monitor the window goes on (the primary one, else the first), in GDK's
// pixels: from its physical size when that is believable, else the X screen's resolution, else 96
// (ChooseScreenDensity). 96 before the display is opened.
int ScreenPixelsPerInch();

}  // namespace kiosk
