#include "proxy/http/keep_alive.h"

#include "proxy/http/leg_relay.h"
#include "text/ascii.h"

namespace kiosk {

bool HasToken(const HeaderList& headers, std::string_view name, std::string_view token) {
    return AsciiLower(headers.Value(name)).find(token) != std::string::npos;
}

bool BrowserKeepsAlive(const ProxyConnection& context, const std::string& version) {
    const HeaderList& request = context.Headers;
    if (HasToken(request, "Connection", "close")) return false;
    if (HasToken(request, "Connection", "keep-alive")) return true;
    return context.Inspected && version == "HTTP/1.1";
}

bool OriginKeepsAlive(const ProxyConnection& context) {
    const HeaderList& answer = context.Headers;
    if (HasToken(answer, "Connection", "close")) return false;
    const bool wentAsHttp11 = context.Inspected;
    if (!(wentAsHttp11 && answer[0].starts_with("HTTP/1.1")) && !HasToken(answer, "Connection", "keep-alive"))
        return false;
    if (IsChunked(answer)) return wentAsHttp11;
    return AnswerWithoutBody(context) || ContentLength(answer) >= 0;
}

bool NextRequestArrives(BufferedConnection& browser) {
    if (!browser.HasBuffered() && !browser.Stream().WaitReadable(kIdleConnectionLimit)) return false;
    return browser.Connected();
}

}  // namespace kiosk
