#include "proxy/tls/inspection_policy.h"

#include <optional>

#include "script/url_pattern.h"
#include "text/ascii.h"
#include "util/integer_text.h"

namespace kiosk {

namespace {

constexpr int kHttpsPort = 443;

// The host and port a pattern names; none when its port is not a port number.
std::optional<std::pair<std::string, int>> PatternHost(const std::string& pattern) {
    const std::string authority = pattern.substr(0, pattern.find('/'));
    const size_t colon = authority.rfind(':');
    const size_t bracket = authority.rfind(']');
    const bool hasPort = colon != std::string::npos && (bracket == std::string::npos || colon > bracket);
    if (!hasPort) return std::make_pair(AsciiLower(authority), kHttpsPort);
    const std::optional<int> port = ParseInteger(authority.substr(colon + 1));
    if (!port || *port < 1 || *port > 65535) return std::nullopt;
    return std::make_pair(AsciiLower(authority.substr(0, colon)), *port);
}

}  // namespace

InspectionPolicy::InspectionPolicy(const std::string& httpsOption, const DocumentScriptList& scripts)
    : mode_(httpsOption == "all"      ? Mode::All
            : httpsOption == "tunnel" ? Mode::Tunnel
                                      : Mode::ScriptedHosts) {
    if (mode_ != Mode::ScriptedHosts) return;
    for (const auto& script : scripts) {
        const std::string authority = AsciiLower(script->pattern.substr(0, script->pattern.find('/')));
        if (authority.find('*') != std::string::npos) {
            hostWildcards_.push_back(authority);
        } else if (auto host = PatternHost(script->pattern); host && !host->first.empty()) {
            scriptedHosts_.insert(*host);
        }
    }
}

bool InspectionPolicy::Inspects(const std::string& host, int port) const {
    switch (mode_) {
        case Mode::All:
            return true;
        case Mode::Tunnel:
            return false;
        case Mode::ScriptedHosts:
            break;
    }
    const std::string lowerHost = AsciiLower(host);
    if (scriptedHosts_.count({lowerHost, port}) > 0) return true;
    const std::string withPort = lowerHost + ":" + std::to_string(port);
    for (const std::string& wildcard : hostWildcards_) {
        if (WildcardMatch(wildcard, withPort) || (port == kHttpsPort && WildcardMatch(wildcard, lowerHost)))
            return true;
    }
    return false;
}

bool InspectionPolicy::InspectsNothing() const {
    return mode_ == Mode::Tunnel ||
           (mode_ == Mode::ScriptedHosts && scriptedHosts_.empty() && hostWildcards_.empty());
}

}  // namespace kiosk
