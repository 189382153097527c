#pragma once

#include <memory>
#include <string>

typedef struct _WebKitWebContext WebKitWebContext;

namespace kiosk {

// WebKit's sandbox for the browser's web processes: each runs under bubblewrap in namespaces of its
// own (user, mount, pid, network, host name) with a system call filter, and sees the system's
// libraries, fonts and all of /etc (WebKit's choice), but not the working folder (logs, script files)
// nor the user's configuration (the CA). Local pages need no folder of their own in it: the network process,
// which runs outside, reads file: URLs. WebKit ends a web process whose sandbox cannot be set up, so the
// sandbox is only switched on where a trial run of bubblewrap succeeds; elsewhere Problem() says why
// it is off.
//
// For each sandboxed web process WebKit makes a folder in the user's runtime folder
// (.flatpak/webkit-PID-N, with bubblewrap's bwrapinfo.json) and removes none, so each visitor would
// leave one behind: those of ended web processes go when the next context is made, the rest with this
// object. Main thread only.
class WebKitSandbox {
public:
    // Starts a trial run of bubblewrap; its answer is awaited when first needed.
    WebKitSandbox();
    WebKitSandbox(const WebKitSandbox&) = delete;
    WebKitSandbox& operator=(const WebKitSandbox&) = delete;
    ~WebKitSandbox();

    // Empty when the sandbox is on; otherwise the log's text of why it is off.
    const std::string& Problem() const;
    // Switches the sandbox on for context, before it starts any web process, where it can be had.
    void Apply(WebKitWebContext* context) const;

private:
    // Removes this process's web process folders, only those whose process has ended unless all.
    void RemoveInstanceFolders(bool all) const;

    struct Trial;
    mutable std::unique_ptr<Trial> trial_;  // until its answer is read
    mutable std::string problem_;
};

}  // namespace kiosk
