#include "platform/linux/webkit_document_access.h"

#include <webkit2/webkit2.h>

#include <exception>
#include <stdexcept>
#include <utility>

#include "platform/linux/embedded_files.h"

namespace kiosk {

namespace {

int CountOf(const std::string& text) {
    try {
        std::size_t used = 0;
        const int count = std::stoi(text, &used);
        if (used == text.size() && count >= 0) return count;
    } catch (const std::exception&) {
    }
    throw std::runtime_error("the page gave no count: " + text);
}

}  // namespace

WebKitDocumentAccess::WebKitDocumentAccess(WebKitWebView* view, std::shared_ptr<const bool> alive)
    : view_(view), alive_(std::move(alive)) {}

std::string WebKitDocumentAccess::Run(const std::string& call, std::vector<JavaScriptArgument> arguments) {
    // A page that let a call run out of time and still does not answer fails at once, so that a
    // series of calls does not wait the time limit each.
    if (scriptTimedOut_ && !webkit_web_view_get_is_web_process_responsive(view_))
        throw std::runtime_error("страница не отвечает");
    const std::string body = std::string(EmbeddedScript("document_access.js")) + "\nreturn " + call + ";\n";
    const std::shared_ptr<const bool> alive = alive_;
    try {
        std::string result = CallJavaScript(view_, body, arguments, kScriptTimeLimit, alive);
        scriptTimedOut_ = false;
        return result;
    } catch (const JavaScriptTimeout&) {
        if (*alive) scriptTimedOut_ = true;
        throw;
    }
}

std::string WebKitDocumentAccess::RunOnElement(const std::string& function, int form, int element) {
    return Run(function + "(form, element)", {{"form", form}, {"element", element}});
}

int WebKitDocumentAccess::FormCount() {
    return CountOf(Run("formCount()", {}));
}

int WebKitDocumentAccess::ElementCount(int form) {
    return CountOf(Run("elementCount(form)", {{"form", form}}));
}

std::string WebKitDocumentAccess::TagName(int form, int element) {
    return RunOnElement("elementTagName", form, element);
}

std::string WebKitDocumentAccess::Type(int form, int element) {
    return RunOnElement("elementType", form, element);
}

std::string WebKitDocumentAccess::Disabled(int form, int element) {
    return RunOnElement("elementDisabled", form, element);
}

std::string WebKitDocumentAccess::StyleDisplay(int form, int element) {
    return RunOnElement("elementStyleDisplay", form, element);
}

void WebKitDocumentAccess::Focus(int form, int element) {
    RunOnElement("focusElement", form, element);
}

// The call names its arguments name0, value0, name1, ...: the page's text never becomes script.
void WebKitDocumentAccess::SetBodyStyles(const std::vector<BodyStyle>& styles) {
    std::string pairs;
    std::vector<JavaScriptArgument> arguments;
    for (size_t i = 0; i < styles.size(); ++i) {
        const std::string index = std::to_string(i);
        pairs += (i == 0 ? "[name" : ", [name") + index + ", value" + index + "]";
        arguments.push_back({"name" + index, styles[i].name});
        arguments.push_back({"value" + index, styles[i].value});
    }
    Run("setBodyStyles([" + pairs + "])", std::move(arguments));
}

}  // namespace kiosk
