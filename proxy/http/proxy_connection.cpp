#include "proxy/http/proxy_connection.h"

#include "text/network_text.h"

namespace kiosk {

std::string ProxyFailureMessage(const ProxyConnection& context, const std::string& failure) {
    return DecodeNetworkText(context.LastRequestHost + context.LastRequestTarget) + ": " + failure;
}

}  // namespace kiosk
