#pragma once

#include <string>

typedef struct _WebKitWebContext WebKitWebContext;

namespace kiosk {

// WebKit's sandbox for the browser's web processes: each runs under bubblewrap in namespaces of its
// own (user, mount, pid, network, host name) with a system call filter, and sees the system's
// libraries, fonts and /etc, but not the working folder (configuration, logs) nor the user's
// configuration (the CA). Local pages need no folder of their own in it: the network process, which
// runs outside, reads file: URLs. WebKit ends a web process whose sandbox cannot be set up, so the
// sandbox is only switched on where a trial run of bubblewrap succeeds; elsewhere Problem() says why
// it is off. Main thread only.
class WebKitSandbox {
public:
    // Tries bubblewrap once, now.
    WebKitSandbox();

    // Empty when the sandbox is on; otherwise the log's text of why it is off.
    const std::string& Problem() const { return problem_; }
    // Switches the sandbox on for context, before it starts any web process, where it can be had.
    void Apply(WebKitWebContext* context) const;

private:
    std::string problem_;
};

// Why bubblewrap cannot run here the way WebKit runs it; empty when it can.
std::string SandboxProblem();

}  // namespace kiosk
