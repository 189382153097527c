#include "keyboard/focus_text_field.h"

#include <exception>
#include <string>

#include "keyboard/text_field_walk.h"
#include "shell/browser_operations.h"

namespace kiosk {

namespace {

void LogFieldSearchFailure(LogWriter& log, const std::string& failure) {
    try {
        log.WriteLog(LogLevel::Error, "Поиск поля ввода: " + failure);
    } catch (...) {
        // The log cannot be written; the search has ended all the same.
    }
}

// The document of a control that any call may see destroyed (each call, and opening the keyboard,
// runs events, among them a Home): every call first makes sure the control still lives.
class LiveDocument : public DocumentAccess {
public:
    explicit LiveDocument(BrowserControl& browser) : browser_(browser), alive_(browser.AliveFlag()) {}

    int FormCount() override { return Live().FormCount(); }
    int ElementCount(int form) override { return Live().ElementCount(form); }
    std::string TagName(int form, int element) override { return Live().TagName(form, element); }
    std::string Type(int form, int element) override { return Live().Type(form, element); }
    std::string Disabled(int form, int element) override { return Live().Disabled(form, element); }
    std::string StyleDisplay(int form, int element) override { return Live().StyleDisplay(form, element); }
    void Focus(int form, int element) override { Live().Focus(form, element); }

private:
    DocumentAccess& Live() {
        if (!*alive_) throw BrowserControlGone();
        return browser_;
    }

    BrowserControl& browser_;
    const std::shared_ptr<const bool> alive_;
};

}  // namespace

bool FocusTextField(BrowserControl* browser, const KeysToggle& keys, LogWriter& log) {
    if (!DocumentReady(browser)) return false;
    const std::shared_ptr<const bool> alive = browser->AliveFlag();
    const unsigned long long loads = browser->StartedLoads();
    // A link, a redirect or a page's own script that leaves the page while the search reads it makes
    // the reads fail (the form or the page is gone): the search ends quietly then, as for a Home.
    const auto pageMovedOn = [&] { return !*alive || browser->StartedLoads() != loads; };
    try {
        LiveDocument document(*browser);
        return FocusFirstFieldOfEachForm(document, [&keys] { SetKeysDown(keys, true); });
    } catch (const BrowserControlGone&) {
        // A Home replaced the control: this search has nothing left to do, and nothing went wrong.
    } catch (const std::exception& failure) {
        if (!pageMovedOn()) LogFieldSearchFailure(log, failure.what());
    } catch (...) {
        if (!pageMovedOn()) LogFieldSearchFailure(log, "Неизвестная ошибка");
    }
    return false;
}

}  // namespace kiosk
