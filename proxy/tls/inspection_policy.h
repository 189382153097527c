#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "script/document_script.h"

namespace kiosk {

// Which CONNECT requests the proxy decrypts, from the "https" option: "all" every one, "tunnel" none
// (every CONNECT a byte tunnel), any other value the hosts some document script names: a url
// pattern's text before its first "/", as host or host:port (port 443 when none is written). A host
// part with "*" in it ("*.shop.example", "*" alone) names every host:port it matches, so a script
// for every site decrypts every site.
class InspectionPolicy {
public:
    InspectionPolicy(const std::string& httpsOption, const DocumentScriptList& scripts);

    // Whether a CONNECT to host and port is decrypted. host as the browser wrote it (an IPv6 address
    // in brackets); letter case does not matter.
    bool Inspects(const std::string& host, int port) const;

    // Whether no CONNECT at all can be decrypted: "tunnel", or no script names a host.
    bool InspectsNothing() const;

private:
    enum class Mode { ScriptedHosts, All, Tunnel };

    Mode mode_;
    std::set<std::pair<std::string, int>> scriptedHosts_;  // lower-case host, port
    std::vector<std::string> hostWildcards_;               // lower-case authorities with "*"
};

}  // namespace kiosk
