#pragma once

#include <functional>

#include "app/form_parts.h"
#include "os/ui.h"

namespace kiosk {

// The application's display title, also the title of its error boxes.
inline constexpr const char* kApplicationTitle = "Киоск";

// Runs one event handler on the main thread. A failure that escapes it ends the handler and is shown
// in a modal error box with its message.
void RunHandler(Ui& ui, const std::function<void()>& handler);

class TForm1;

// What the program attaches to the main window around its life: after the window's parts exist
// (before start-up), after start-up, and after shutdown.
struct ApplicationStages {
    std::function<void(TForm1&)> created;
    std::function<void(TForm1&)> started;
    std::function<void(TForm1&)> finished;
};

// Creates the main window (start-up), runs the event loop until the window closes, destroys the
// window (shutdown). Returns the process's exit status.
int RunApplication(FormParts parts, const ApplicationStages& stages = {});

}  // namespace kiosk
