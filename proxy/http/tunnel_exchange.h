#pragma once

#include <vector>

#include "proxy/http/exchange_steps.h"

namespace kiosk {

// Serves a CONNECT request: connects to its host and port, confirms to the browser and then relays
// bytes both ways, unread, until either side closes.
void TunnelExchange(TIdHTTPProxyServerContext& context, const std::vector<std::string>& parameters,
                    const ExchangeSetup& setup);

}  // namespace kiosk
