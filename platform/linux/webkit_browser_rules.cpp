#include "platform/linux/webkit_browser_rules.h"

#include <gio/gio.h>
#include <libsoup/soup.h>
#include <webkit2/webkit2.h>

#include <algorithm>

#include "text/ascii.h"

namespace kiosk {

namespace {

bool IsDomain(std::string_view domain, GQuark quark) {
    return domain == g_quark_to_string(quark);
}

std::optional<std::int32_t> IoErrorCode(int code) {
    using namespace navigate_error;
    switch (code) {
        case G_IO_ERROR_CANCELLED:
            return std::nullopt;
        case G_IO_ERROR_HOST_NOT_FOUND:
            return kResourceNotFound;
        case G_IO_ERROR_CONNECTION_REFUSED:
        case G_IO_ERROR_HOST_UNREACHABLE:
        case G_IO_ERROR_NETWORK_UNREACHABLE:
        case G_IO_ERROR_NOT_CONNECTED:
            return kCannotConnect;
        case G_IO_ERROR_TIMED_OUT:
            return kConnectionTimeout;
        case G_IO_ERROR_PROXY_FAILED:
        case G_IO_ERROR_PROXY_NOT_ALLOWED:
            return kProxyFailed;
        case G_IO_ERROR_PROXY_AUTH_FAILED:
        case G_IO_ERROR_PROXY_NEED_AUTH:
            return kAuthenticationRequired;
        case G_IO_ERROR_NOT_FOUND:
        case G_IO_ERROR_IS_DIRECTORY:
        case G_IO_ERROR_PERMISSION_DENIED:
            return kObjectNotFound;
        default:
            return kDownloadFailure;
    }
}

}  // namespace

std::optional<std::int32_t> NavigateErrorCode(std::string_view domain, int code) {
    using namespace navigate_error;
    if (IsDomain(domain, WEBKIT_NETWORK_ERROR)) {
        switch (code) {
            case WEBKIT_NETWORK_ERROR_CANCELLED:
                return std::nullopt;
            case WEBKIT_NETWORK_ERROR_UNKNOWN_PROTOCOL:
                return kUnknownProtocol;
            case WEBKIT_NETWORK_ERROR_FILE_DOES_NOT_EXIST:
                return kObjectNotFound;
            default:
                return kDownloadFailure;
        }
    }
    if (IsDomain(domain, WEBKIT_POLICY_ERROR)) {
        switch (code) {
            // The control itself refused a response it cannot show (no downloads in a kiosk).
            case WEBKIT_POLICY_ERROR_CANNOT_SHOW_MIME_TYPE:
            case WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE:
                return std::nullopt;
            case WEBKIT_POLICY_ERROR_CANNOT_SHOW_URI:
                return kUnknownProtocol;
            case WEBKIT_POLICY_ERROR_CANNOT_USE_RESTRICTED_PORT:
                return kInvalidUrl;
            default:
                return kSecurityProblem;
        }
    }
    if (IsDomain(domain, WEBKIT_PLUGIN_ERROR)) {
        // Media shown in the page: WebKit starts a new load for it at once.
        if (code == WEBKIT_PLUGIN_ERROR_WILL_HANDLE_LOAD) return std::nullopt;
        return kCannotLoadData;
    }
    if (IsDomain(domain, G_IO_ERROR)) return IoErrorCode(code);
    if (IsDomain(domain, G_RESOLVER_ERROR)) return kResourceNotFound;
    if (IsDomain(domain, G_TLS_ERROR)) {
        return code == G_TLS_ERROR_BAD_CERTIFICATE ? kInvalidCertificate : kSecurityProblem;
    }
    if (IsDomain(domain, SOUP_SESSION_ERROR)) {
        switch (code) {
            case SOUP_SESSION_ERROR_TOO_MANY_REDIRECTS:
            case SOUP_SESSION_ERROR_REDIRECT_NO_LOCATION:
            case SOUP_SESSION_ERROR_REDIRECT_BAD_URI:
                return kRedirectFailed;
            default:
                return kDownloadFailure;
        }
    }
    return kDownloadFailure;
}

bool IsHtmlMimeType(std::string_view mimeType) {
    const std::string type = AsciiLower(TrimBlanks(mimeType.substr(0, mimeType.find(';'))));
    return type == "text/html" || type == "application/xhtml+xml";
}

bool IsAttachment(std::string_view contentDisposition) {
    const std::string kind =
        AsciiLower(TrimBlanks(contentDisposition.substr(0, contentDisposition.find(';'))));
    return kind == "attachment";
}

std::string NavigableUri(const std::string& url) {
    // A scheme is a letter followed by letters, digits, "+", "-" or "."; then ":".
    const auto colon = url.find(':');
    bool hasScheme =
        colon != std::string::npos && colon > 0 && std::isalpha(static_cast<unsigned char>(url[0]));
    for (std::size_t i = 1; hasScheme && i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(url[i]);
        hasScheme = std::isalnum(c) || c == '+' || c == '-' || c == '.';
    }
    if (hasScheme) {
        // "localhost:8080/page" and "host.example:81" name a host and a port, not a scheme.
        const std::string scheme = AsciiLower(std::string_view(url).substr(0, colon));
        const bool slashes = url.compare(colon + 1, 2, "//") == 0;
        static constexpr std::string_view kBareSchemes[] = {"about", "data",   "javascript",
                                                            "blob",  "mailto", "file"};
        const bool bare =
            std::find(std::begin(kBareSchemes), std::end(kBareSchemes), scheme) != std::end(kBareSchemes);
        if (slashes || bare) return url;
    }
    if (url.empty()) return url;
    return "http://" + url;
}

}  // namespace kiosk
