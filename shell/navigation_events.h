#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "shell/browsing_context.h"
#include "shell/control_model.h"
#include "util/log_writer.h"

namespace kiosk {

// A completed document: counted, the animation stopped, the zoom of the zoom option and the
// overflow written to the top-level document's body, and the load logged. Frames complete on their
// own and count as documents. A failed style write ends the handler before the load is logged.
void OnDocumentComplete(const BrowsingContext& window, const std::string& zoomOption, LogWriter& log,
                        const std::string& url);

// The page shown for network failures: the errors table's net value, a file relative to the working
// directory, shown from the program's directory.
struct NetErrorPage {
    const std::string& name;
    const std::string& workingDirectory;
    const std::string& programDir;
};

// A failed navigation stops the animation. Only network-level failures (negative codes) go on: the
// Keys button is hidden, the idle timer runs and the net page is shown; error answers of a server
// are left to the browser and the document filter.
void OnNavigateError(const BrowsingContext& window, const NetErrorPage& netPage, LogWriter& log,
                     const std::string& url, std::int32_t statusCode);

// The process that showed url has ended and the page area is empty: one error entry, then the net
// page (as after a network failure, the Keys button hidden) or, without one or when the net page
// itself was lost, the start page. The idle timer restarts either way.
void OnPageProcessEnded(const BrowsingContext& window, const NetErrorPage& netPage, LogWriter& log,
                        const std::string& url, const std::string& startPage);

// Loading has finished when both are 0: then the page's text field is looked for and the animation
// stops.
void OnProgressChange(AnimatorModel& animator, std::int32_t progress, std::int32_t maximum,
                      const std::function<void()>& focusTextField);

}  // namespace kiosk
