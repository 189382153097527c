#include "proxy/http/exchange_steps.h"

#include <stdexcept>

namespace kiosk {

void ReadHeaderLines(BufferedConnection& connection, TIdHeaderList& headers) {
    headers.Clear();
    for (std::string line = connection.ReadLine(); !line.empty(); line = connection.ReadLine()) {
        headers.Add(std::move(line));
    }
}

const std::string& RequestTarget(const std::vector<std::string>& parameters) {
    if (parameters.empty()) throw std::runtime_error("Request line without a target.");
    return parameters.front();
}

void BeginRequestLeg(TIdHTTPProxyServerContext& context, const ExchangeSetup& setup) {
    context.TransferMode = setup.transferMode;
    context.TransferSide = TIdHTTPProxyTransferSide::FromClient;
    if (setup.hooks.OnHTTPBeforeCommand) setup.hooks.OnHTTPBeforeCommand(context);
}

}  // namespace kiosk
