#include "tests/support/screen.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>

namespace kiosk::testing {

namespace {

// The number a shell command prints first (its exit status aside); -1 when it prints none.
long NumberPrintedBy(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    char buffer[64] = {};
    const size_t count = fread(buffer, 1, sizeof buffer - 1, pipe);
    pclose(pipe);
    return count == 0 ? -1 : std::stol(buffer);
}

}  // namespace

void SaveScreenshot(const XvfbDisplay& display, const std::string& path) {
    RunOnDisplay(display, "import -window root '" + path + "'");
}

long CountPixelsNear(const std::string& path, const ScreenRect& rect, const std::string& colour,
                     int tolerance) {
    const std::string crop = std::to_string(rect.width) + "x" + std::to_string(rect.height) + "+" +
                             std::to_string(rect.left) + "+" + std::to_string(rect.top);
    const double threshold = 100.0 * tolerance / 255.0;
    // The largest channel difference to the colour, thresholded: pixels near it become white.
    std::ostringstream command;
    command
        << "convert '" << path << "' -crop " << crop << " +repage -alpha off \\( +clone -fill '" << colour
        << "' -colorize 100 \\) -compose Difference -composite -separate -evaluate-sequence max -threshold "
        << threshold << "% -negate -format '%[fx:round(mean*w*h)]' info:";
    return NumberPrintedBy(command.str());
}

long CountDifferentPixels(const std::string& first, const std::string& second) {
    // compare writes the count to standard error and exits with 1 when the pictures differ.
    const std::string command = "compare -metric AE '" + first + "' '" + second + "' null: 2>&1";
    return NumberPrintedBy(command);
}

int ShownWindowCount(const XvfbDisplay& display) {
    std::string output;
    try {
        output = RunOnDisplay(display, "xdotool search --onlyvisible --maxdepth 1 --name ''");
    } catch (const std::exception&) {
        return 0;  // xdotool fails when it finds none
    }
    int lines = 0;
    for (const char c : output) lines += c == '\n';
    return lines;
}

ScreenRect WindowGeometry(const XvfbDisplay& display, const std::string& name) {
    std::string output;
    try {
        output = RunOnDisplay(
            display, "xdotool search --onlyvisible --name '^" + name + "$' getwindowgeometry --shell %1");
    } catch (const std::exception&) {
        return {};
    }
    ScreenRect rect;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const int value = std::stoi(line.substr(equals + 1));
        if (key == "X") rect.left = value;
        if (key == "Y") rect.top = value;
        if (key == "WIDTH") rect.width = value;
        if (key == "HEIGHT") rect.height = value;
    }
    return rect;
}

void ClickAt(const XvfbDisplay& display, int x, int y, int button) {
    RunOnDisplay(display, "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click " +
                              std::to_string(button));
}

void MovePointer(const XvfbDisplay& display, int x, int y) {
    RunOnDisplay(display, "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
}

void PressKeys(const XvfbDisplay& display, const std::string& keys) {
    RunOnDisplay(display, "xdotool key " + keys);
}

}  // namespace kiosk::testing
