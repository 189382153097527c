#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/javascript_call.h"
#include "shell/document_access.h"

typedef struct _WebKitWebView WebKitWebView;

namespace kiosk {

// The document that a web view shows, read and written by the functions of
// scripts/document_access.js. Each call runs one of them and waits for its answer by running the
// main context's events, at most kScriptTimeLimit long; the view's owner may be destroyed by one of
// those events (alive turns false), and the waiting call then throws without touching this object.
// Main thread only.
class WebKitDocumentAccess : public DocumentAccess {
public:
    static constexpr std::chrono::milliseconds kScriptTimeLimit{3000};

    // view and alive belong to the owner, who keeps view while alive holds.
    WebKitDocumentAccess(WebKitWebView* view, std::shared_ptr<const bool> alive);

    int FormCount() override;
    int ElementCount(int form) override;
    std::string TagName(int form, int element) override;
    std::string Type(int form, int element) override;
    std::string Disabled(int form, int element) override;
    std::string StyleDisplay(int form, int element) override;
    // Gives the element the page's focus; the view's keyboard focus is the owner's concern.
    void Focus(int form, int element) override;
    void SetBodyStyles(const std::vector<BodyStyle>& styles);

private:
    // Runs call, a call of one of the script's functions on the variables of arguments.
    std::string Run(const std::string& call, std::vector<JavaScriptArgument> arguments);
    std::string RunOnElement(const std::string& function, int form, int element);

    WebKitWebView* view_;
    std::shared_ptr<const bool> alive_;
    // A call ran into its time limit, so the page may be stuck.
    bool scriptTimedOut_ = false;
};

}  // namespace kiosk
