// The browser's navigation events.

#include "app/form1.h"
#include "shell/navigation_events.h"

namespace kiosk {

void TForm1::WebBrowser1DocumentComplete(const std::string& url) {
    OnDocumentComplete(Browsing(), Option("zoom"), eventLog_, url);
}

void TForm1::WebBrowser1NavigateError(const std::string& url, std::int32_t statusCode) {
    const std::string net = ErrorTable ? ErrorTable->Value("net") : std::string();
    OnNavigateError(Browsing(), {net, parts_.workingDirectory, ProgramDir}, eventLog_, url, statusCode);
}

void TForm1::WebBrowser1ProgressChange(std::int32_t progress, std::int32_t maximum) {
    OnProgressChange(Controls.RxGIFAnimator1, progress, maximum, [this] { FocusTextField(); });
}

// The kiosk keeps to one window: pop-ups and links aimed at a new window do nothing.
void TForm1::WebBrowser1NewWindow2(bool& cancel) {
    cancel = true;
}

}  // namespace kiosk
