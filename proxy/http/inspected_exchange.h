#pragma once

#include "proxy/http/exchange_steps.h"
#include "proxy/http/request_target.h"

namespace kiosk {

// Serves a CONNECT that is decrypted: connects to the origin through the request's route and opens TLS
// to it (its certificate verified), confirms the CONNECT, takes the browser's handshake with the host's
// leaf, and then serves the requests that follow on the browser's connection one after another like
// plain ones (the same hooks, filter and dumps), reusing the origin's connection while it allows. Each
// answer goes to the browser with its true length. An origin's 101 answer to an upgrade request turns
// the connection into a two-way relay. Failures are thrown as in any exchange; the browser's closing
// its connection, or leaving it idle, ends the exchange quietly.
void InspectedExchange(ProxyConnection& context, const TunnelTarget& target, const ExchangeSetup& setup,
                       HttpsInspection& inspection);

}  // namespace kiosk
