#pragma once

#include <sys/types.h>

#include <string>

namespace kiosk::testing {

// A virtual X display (Xvfb) of its own for a test, on a display number the server picks itself, so
// that tests running side by side never share one. The server is stopped when the object goes.
class XvfbDisplay {
public:
    XvfbDisplay(int width = 1280, int height = 1024, int dotsPerInch = 96);
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;
    ~XvfbDisplay();

    // ":N", for DISPLAY.
    const std::string& Name() const { return name_; }
    // "DISPLAY=:N", for a child's environment.
    std::string Environment() const { return "DISPLAY=" + name_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    pid_t pid_ = -1;
    std::string name_;
    int width_;
    int height_;
};

// One display for the whole test process, started at the first call, with DISPLAY set to it. GTK
// opens its display once per process, so in-process window tests share this one.
const XvfbDisplay& ProcessDisplay();

// Runs a command line through /bin/sh on display, with its standard output returned; throws when
// the command fails.
std::string RunOnDisplay(const XvfbDisplay& display, const std::string& command);

}  // namespace kiosk::testing
