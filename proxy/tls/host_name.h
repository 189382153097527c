#pragma once

#include <string>

namespace kiosk {

// A CONNECT host as certificates and TLS name it: an IPv6 address without its brackets, anything else
// as written.
inline std::string WithoutBrackets(const std::string& host) {
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') return host.substr(1, host.size() - 2);
    return host;
}

}  // namespace kiosk
