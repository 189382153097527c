#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shell/document_access.h"

namespace kiosk {

// What the embedded browser reports, always on the main thread.
class BrowserEvents {
public:
    virtual ~BrowserEvents() = default;
    // A document has completed; frames report their own completions.
    virtual void DocumentComplete(const std::string& url) = 0;
    // A navigation has failed: a negative status for a network-level failure, the HTTP status when
    // the server answered with an error.
    virtual void NavigateError(const std::string& url, std::int32_t statusCode) = 0;
    // Loading progress; both 0 once loading has finished.
    virtual void ProgressChange(std::int32_t progress, std::int32_t maximum) = 0;
    // A page wants a new window; setting cancel refuses it.
    virtual void NewWindow(bool& cancel) = 0;
    // The page or one of its frames is about to go to url (a link, a script, Navigate, a redirect);
    // setting cancel refuses it: nothing loads and no error is reported.
    virtual void BeforeNavigate(const std::string& url, bool& cancel) = 0;
    // The process that showed url has ended (a crash, a kill, too much memory): the view shows
    // nothing until it navigates again.
    virtual void PageProcessEnded(const std::string& url) = 0;
    // The visitor pressed, touched, scrolled or typed in the page.
    virtual void PageActivity() {}
};

// The level of Reload that reloads bypassing the cache.
inline constexpr int kRefreshCompletely = 3;

// The embedded browser as the shell drives it, with late-bound access to the document it shows. Any
// call may fail with an exception.
class BrowserControl : public DocumentAccess {
public:
    virtual ~BrowserControl() { *alive_ = false; }

    // True while the control lives; readable after it has gone, so that work that runs events (any
    // of which may destroy the control) can tell before it touches the control again.
    std::shared_ptr<const bool> AliveFlag() const { return alive_; }
    // How many page loads have started in the control. Work on the document that fails after another
    // load has started failed because the visitor or the page moved on, not because of the page.
    unsigned long long StartedLoads() const { return startedLoads_; }

    virtual void Navigate(const std::string& url) = 0;
    // Throws when the history holds no page to go back to: no load starts then.
    virtual void GoBack() = 0;
    virtual void Refresh() = 0;
    // kRefreshCompletely reloads bypassing the cache; other levels reload as Refresh does.
    virtual void Reload(int level) = 0;
    virtual void Stop() = 0;
    // Whether the control holds a document and that document is an HTML page.
    virtual bool HasHtmlDocument() = 0;

    virtual void SetVisible(bool visible) = 0;
    // Silent: the control shows no dialog boxes of its own.
    virtual void SetSilent(bool silent) = 0;
    virtual void SetStatusBar(bool shown) = 0;
    virtual void SetAddressBar(bool shown) = 0;
    virtual void SetEnabled(bool enabled) = 0;
    // The languages pages are asked for (Accept-Language), most wanted first.
    virtual void SetPreferredLanguages(const std::vector<std::string>& languages) = 0;

    // Writes properties of the top-level document's body style (Zoom, overflowY, overflowX), in
    // order, in one call to the page: a page that has just finished loading answers the first call
    // late, so each further call would add to the wait. The first property that cannot be written
    // throws, and the ones after it stay unwritten. A number is written as its decimal text.
    virtual void SetBodyStyles(const std::vector<BodyStyle>& styles) = 0;

    // Where the control reports its events; nullptr detaches. The receiver must outlive the
    // attachment.
    virtual void SetEvents(BrowserEvents* events) = 0;

protected:
    void CountStartedLoad() { ++startedLoads_; }

private:
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    unsigned long long startedLoads_ = 0;
};

}  // namespace kiosk
