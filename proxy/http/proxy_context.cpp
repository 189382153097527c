#include "proxy/http/proxy_context.h"

#include "text/network_text.h"

namespace kiosk {

std::string ProxyFailureMessage(const TIdHTTPProxyServerContext& context, const std::string& failure) {
    return DecodeNetworkText(context.LastRequestHost + context.LastRequestTarget) + ": " + failure;
}

}  // namespace kiosk
