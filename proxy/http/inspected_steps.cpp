#include "proxy/http/inspected_steps.h"

#include <stdexcept>

#include "proxy/http/exchange_steps.h"
#include "proxy/http/http_text.h"
#include "proxy/http/leg_relay.h"
#include "text/ascii.h"

namespace kiosk {

bool HasToken(const HeaderList& headers, std::string_view name, std::string_view token) {
    return AsciiLower(headers.Value(name)).find(token) != std::string::npos;
}

bool OriginKeepsAlive(const ProxyConnection& context) {
    const HeaderList& answer = context.Headers;
    if (HasToken(answer, "Connection", "close")) return false;
    if (!answer[0].starts_with("HTTP/1.1") && !HasToken(answer, "Connection", "keep-alive")) return false;
    return AnswerWithoutBody(context) || ContentLength(answer) >= 0 || IsChunked(answer);
}

}  // namespace kiosk
