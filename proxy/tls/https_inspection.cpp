#include "proxy/tls/https_inspection.h"

#include "proxy/http/request_target.h"

namespace kiosk {

HttpsInspection::HttpsInspection(const HttpsInspectionSettings& settings, const DocumentScriptList& scripts,
                                 LeafTrust& trust)
    : policy_(settings.httpsOption, scripts),
      ca_(TerminalCa::Create()),
      leaves_(ca_),
      browserContext_(MakeBrowserSideContext()),
      originContext_(MakeOriginSideContext(settings.caFile)),
      trust_(trust) {
    ca_.WriteCertificate(settings.caFolder);
}

std::shared_ptr<const LeafCertificate> HttpsInspection::TrustedLeaf(const std::string& host,
                                                                    const std::function<bool()>& givenUp) {
    std::shared_ptr<const LeafCertificate> leaf = leaves_.ForHost(host);
    trust_.Trust(leaf, givenUp);
    return leaf;
}

std::unique_ptr<TlsStream> HttpsInspection::AcceptBrowser(ByteStream& socket, const LeafCertificate& leaf) {
    auto stream = std::make_unique<TlsStream>(socket, NewBrowserSession(browserContext_.get(), leaf));
    try {
        stream->Accept(kHandshakeTimeout);
    } catch (const std::exception& failure) {
        throw TlsFailure(std::string("TLS handshake with the browser: ") + failure.what());
    }
    return stream;
}

std::unique_ptr<TlsStream> HttpsInspection::ConnectOrigin(ByteStream& socket, const std::string& host,
                                                          int port) {
    auto stream = std::make_unique<TlsStream>(socket, NewOriginSession(originContext_.get(), host));
    try {
        stream->Connect(kHandshakeTimeout);
    } catch (const TlsFailure& failure) {
        throw TlsFailure("TLS " + HostAndPort(host, port) + ": " + failure.what());
    }
    return stream;
}

}  // namespace kiosk
