#include "proxy/http/exchange_steps.h"

#include <stdexcept>
#include <string_view>

#include "proxy/http/http_text.h"

namespace kiosk {

namespace {

// "HTTP/d.d NNN", then the end of the line or a blank and the reason.
bool IsStatusLine(std::string_view line) {
    auto digit = [&line](size_t at) { return line[at] >= '0' && line[at] <= '9'; };
    if (line.size() < 12 || !line.starts_with("HTTP/") || !digit(5) || line[6] != '.' || !digit(7)) {
        return false;
    }
    return line[8] == ' ' && digit(9) && digit(10) && digit(11) && (line.size() == 12 || line[12] == ' ');
}

}  // namespace

void ReadHeaderLines(BufferedConnection& connection, HeaderList& headers) {
    headers.Clear();
    size_t headBytes = 0;
    for (std::string line = connection.ReadLine(); !line.empty(); line = connection.ReadLine()) {
        headBytes += line.size() + 2;
        if (headBytes > kMostAnswerHeadBytes) throw std::runtime_error("Head larger than 1 MiB.");
        headers.Add(std::move(line));
    }
}

void ReadAnswerHead(BufferedConnection& server, HeaderList& headers) {
    for (;;) {
        ReadHeaderLines(server, headers);
        if (headers.Count() == 0 || !IsStatusLine(headers[0])) {
            throw std::runtime_error("An answer without a status line.");
        }
        const int status = StatusCode(headers[0]);
        if (status < 100 || status >= 200 || status == 101) return;
    }
}

void BeginRequestLeg(ProxyConnection& context, const ExchangeSetup& setup) {
    context.TransferMode = setup.transferMode;
    context.TransferSide = ExchangeSide::FromClient;
    if (setup.hooks.OnRequest) setup.hooks.OnRequest(context);
}

}  // namespace kiosk
