#pragma once

#include <string>

namespace kiosk::testing {

// Loads url in headless Chromium through the HTTP proxy at 127.0.0.1:proxyPort (loopback addresses
// included) and returns the page's DOM as Chromium serialises it; empty when Chromium failed.
std::string DumpDomThroughProxy(const std::string& url, int proxyPort);

}  // namespace kiosk::testing
