#pragma once

#include <string>
#include <vector>

#include "proxy/http/exchange_steps.h"

namespace kiosk {

// The methods the proxy forwards, each with a body when its Content-Length announces one: those of
// pages and forms, and those of today's pages' scripts (CORS preflights, REST calls).
inline const std::vector<std::string> kForwardedMethods = {"GET", "POST",   "HEAD", "OPTIONS",
                                                           "PUT", "DELETE", "PATCH"};

// Serves a request of one of those methods (command in capitals): forwards it upstream as HTTP/1.0,
// reads the whole answer, lets the document hook see it and sends it back to the browser.
void PassThroughExchange(TIdHTTPProxyServerContext& context, const std::string& command,
                         const std::vector<std::string>& parameters, const ExchangeSetup& setup);

}  // namespace kiosk
