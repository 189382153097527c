#pragma once

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

typedef struct _WebKitWebView WebKitWebView;

namespace kiosk {

// A named value that a called script sees as a variable.
struct JavaScriptArgument {
    std::string name;
    std::variant<int, std::string> value;
};

// The failure of a call whose answer did not come within its time limit.
class JavaScriptTimeout : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Runs body, the body of an async JavaScript function, in the page of view (in an isolated script
// world of the shell's own, so the page's scripts cannot change what it sees of the DOM's objects)
// and waits for its result by running the default main context's events, at most limit long. The
// result is the function's return value as text (empty for undefined or null).
//
// Throws std::runtime_error with a short readable message when the script raises an exception (its
// message), when no answer comes in time (a page stuck in a loop: JavaScriptTimeout), or when alive becomes
// false during the wait: the caller (the view's owner) was destroyed by an event that ran meanwhile; view is
// then never touched again. Main thread only.
std::string CallJavaScript(WebKitWebView* view, const std::string& body,
                           const std::vector<JavaScriptArgument>& arguments, std::chrono::milliseconds limit,
                           const std::shared_ptr<const bool>& alive);

}  // namespace kiosk
