#pragma once

#include <functional>

#include "app/main_window_parts.h"
#include "os/ui.h"

namespace kiosk {

// The application's display title, also the title of its error boxes.
inline constexpr const char* kApplicationTitle = "Киоск";

class MainWindow;

// Runs one event handler of the main window on the main thread. A failure that escapes it ends the
// handler, is written to the log as an error entry (and so mailed), and is shown in a modal error box
// with its message, which the next Home or idle return closes.
void RunHandler(Ui& ui, MainWindow& window, const std::function<void()>& handler);

// What the program attaches to the main window around its life: after the window's parts exist
// (before start-up), after start-up, before shutdown and after it.
struct ApplicationStages {
    std::function<void(MainWindow&)> created;
    std::function<void(MainWindow&)> started;
    std::function<void(MainWindow&)> stopping;
    std::function<void(MainWindow&)> finished;
};

// Creates the main window (start-up), runs the event loop until the window closes, destroys the
// window (shutdown). Returns the process's exit status.
int RunApplication(MainWindowParts parts, const ApplicationStages& stages = {});

}  // namespace kiosk
