#pragma once

#include <ostream>
#include <string>

namespace kiosk {

struct RewriteRequest {
    std::string url;
    std::string bodyFile;           // a saved page to filter instead of fetching; empty: fetch
    std::string configurationFile;  // the configuration to load
    std::string programName;        // loader messages name programName + ".cfg"
};

// kiosk --rewrite: loads the configuration into fresh tables, then fetches the page through the
// program's own proxy engine on a free loopback port, with the hooks the window installs (request
// hook with the configured route, document filter), HTTPS decrypted with a CA made for this run; or
// runs the filter over a saved page, taken as "200 OK" text/html from the address. The document the
// browser would get goes to out; the answer's status, the filter's trace and its log entries to err.
// Returns the exit status: 0 the page was fetched (whatever its status), 1 it could not be or the
// configuration did not load, 2 the address is not an http:// or https:// one.
int RunRewriteCommand(const RewriteRequest& request, std::ostream& out, std::ostream& err);

}  // namespace kiosk
