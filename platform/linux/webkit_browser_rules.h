#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kiosk {

// The small decisions of the WebKitGTK browser control that need no WebKit: they are tested without
// a display.

// Network-level failure codes reported as navigate errors: the Windows INET_E_* values as signed
// 32-bit numbers, so every one is negative.
namespace navigate_error {
constexpr std::int32_t kInvalidUrl = static_cast<std::int32_t>(0x800C0002u);     // INET_E_INVALID_URL
constexpr std::int32_t kCannotConnect = static_cast<std::int32_t>(0x800C0004u);  // INET_E_CANNOT_CONNECT
constexpr std::int32_t kResourceNotFound =
    static_cast<std::int32_t>(0x800C0005u);                                       // INET_E_RESOURCE_NOT_FOUND
constexpr std::int32_t kObjectNotFound = static_cast<std::int32_t>(0x800C0006u);  // INET_E_OBJECT_NOT_FOUND
constexpr std::int32_t kDownloadFailure = static_cast<std::int32_t>(0x800C0008u);  // INET_E_DOWNLOAD_FAILURE
constexpr std::int32_t kAuthenticationRequired =
    static_cast<std::int32_t>(0x800C0009u);  // INET_E_AUTHENTICATION_REQUIRED
constexpr std::int32_t kConnectionTimeout =
    static_cast<std::int32_t>(0x800C000Bu);  // INET_E_CONNECTION_TIMEOUT
constexpr std::int32_t kUnknownProtocol = static_cast<std::int32_t>(0x800C000Du);  // INET_E_UNKNOWN_PROTOCOL
constexpr std::int32_t kSecurityProblem = static_cast<std::int32_t>(0x800C000Eu);  // INET_E_SECURITY_PROBLEM
constexpr std::int32_t kCannotLoadData = static_cast<std::int32_t>(0x800C000Fu);   // INET_E_CANNOT_LOAD_DATA
constexpr std::int32_t kRedirectFailed = static_cast<std::int32_t>(0x800C0014u);   // INET_E_REDIRECT_FAILED
constexpr std::int32_t kInvalidCertificate =
    static_cast<std::int32_t>(0x800C0019u);                                    // INET_E_INVALID_CERTIFICATE
constexpr std::int32_t kProxyFailed = static_cast<std::int32_t>(0x800C0003u);  // INET_E_NO_SESSION
}  // namespace navigate_error

// The navigate error code of a failed load, from its GError's domain (the quark's text, such as
// "g-io-error-quark" or "WebKitNetworkError") and code. Nothing for a load that was cancelled (a new
// navigation or Stop interrupted it) or that the control's own policy ended (a download refused).
std::optional<std::int32_t> NavigateErrorCode(std::string_view domain, int code);

// Whether a main resource of this MIME type is an HTML document ("text/html; charset=..." included).
bool IsHtmlMimeType(std::string_view mimeType);

// Whether a Content-Disposition header value asks for a download ("attachment", any case).
bool IsAttachment(std::string_view contentDisposition);

// The URI that Navigate loads: a text with a scheme ("http://", "file:", "about:", ...) as given;
// one without ("www.example.com/page") as http://.
std::string NavigableUri(const std::string& url);

}  // namespace kiosk
