#pragma once

#include <string>
#include <vector>

#include "proxy/http/exchange_steps.h"

namespace kiosk {

// Serves a GET, POST or HEAD request (command in capitals): forwards it upstream as HTTP/1.0, reads
// the whole answer, lets the document hook see it and sends it back to the browser.
void PassThroughExchange(TIdHTTPProxyServerContext& context, const std::string& command,
                         const std::vector<std::string>& parameters, const ExchangeSetup& setup);

}  // namespace kiosk
