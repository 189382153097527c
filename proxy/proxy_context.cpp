#include "proxy/proxy_context.h"

namespace kiosk {

std::string ProxyFailureMessage(const TIdHTTPProxyServerContext& context, const std::string& failure) {
    return context.LastRequestHost + context.LastRequestTarget + ": " + failure;
}

}  // namespace kiosk
