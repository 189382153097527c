#include "platform/linux/webkit_browser_rules.h"

#include <gio/gio.h>
#include <libsoup/soup.h>
#include <webkit2/webkit2.h>

#include <gtest/gtest.h>

namespace kiosk {
namespace {

using namespace navigate_error;

std::optional<std::int32_t> CodeOf(GQuark domain, int code) {
    return NavigateErrorCode(g_quark_to_string(domain), code);
}

TEST(NavigateErrorCode, CancelledLoadsAndTheControlsOwnRefusalsAreNoErrors) {
    EXPECT_EQ(CodeOf(WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED), std::nullopt);
    EXPECT_EQ(CodeOf(G_IO_ERROR, G_IO_ERROR_CANCELLED), std::nullopt);
    EXPECT_EQ(CodeOf(WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE),
              std::nullopt);
    EXPECT_EQ(CodeOf(WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_CANNOT_SHOW_MIME_TYPE), std::nullopt);
    EXPECT_EQ(CodeOf(WEBKIT_PLUGIN_ERROR, WEBKIT_PLUGIN_ERROR_WILL_HANDLE_LOAD), std::nullopt);
}

TEST(NavigateErrorCode, NetworkFailuresHaveDistinctNegativeCodes) {
    EXPECT_EQ(CodeOf(G_RESOLVER_ERROR, G_RESOLVER_ERROR_NOT_FOUND), kResourceNotFound);
    EXPECT_EQ(CodeOf(G_RESOLVER_ERROR, G_RESOLVER_ERROR_TEMPORARY_FAILURE), kResourceNotFound);
    EXPECT_EQ(CodeOf(G_IO_ERROR, G_IO_ERROR_HOST_NOT_FOUND), kResourceNotFound);
    EXPECT_EQ(CodeOf(G_IO_ERROR, G_IO_ERROR_CONNECTION_REFUSED), kCannotConnect);
    EXPECT_EQ(CodeOf(G_IO_ERROR, G_IO_ERROR_NETWORK_UNREACHABLE), kCannotConnect);
    EXPECT_EQ(CodeOf(G_IO_ERROR, G_IO_ERROR_TIMED_OUT), kConnectionTimeout);
    EXPECT_EQ(CodeOf(G_IO_ERROR, G_IO_ERROR_PROXY_FAILED), kProxyFailed);
    EXPECT_EQ(CodeOf(G_IO_ERROR, G_IO_ERROR_PROXY_NEED_AUTH), kAuthenticationRequired);
    EXPECT_EQ(CodeOf(G_TLS_ERROR, G_TLS_ERROR_BAD_CERTIFICATE), kInvalidCertificate);
    EXPECT_EQ(CodeOf(G_TLS_ERROR, G_TLS_ERROR_HANDSHAKE), kSecurityProblem);
    EXPECT_EQ(CodeOf(SOUP_SESSION_ERROR, SOUP_SESSION_ERROR_TOO_MANY_REDIRECTS), kRedirectFailed);
    EXPECT_EQ(CodeOf(WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_FILE_DOES_NOT_EXIST), kObjectNotFound);
    EXPECT_EQ(CodeOf(WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_UNKNOWN_PROTOCOL), kUnknownProtocol);
    EXPECT_EQ(CodeOf(WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_CANNOT_SHOW_URI), kUnknownProtocol);
    EXPECT_EQ(CodeOf(WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_CANNOT_USE_RESTRICTED_PORT), kInvalidUrl);
    EXPECT_EQ(CodeOf(WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_TRANSPORT), kDownloadFailure);
    EXPECT_EQ(NavigateErrorCode("some-other-quark", 7), kDownloadFailure);

    const std::int32_t all[] = {kInvalidUrl,        kCannotConnect,   kResourceNotFound,
                                kObjectNotFound,    kDownloadFailure, kAuthenticationRequired,
                                kConnectionTimeout, kUnknownProtocol, kSecurityProblem,
                                kCannotLoadData,    kRedirectFailed,  kInvalidCertificate,
                                kProxyFailed};
    for (const std::int32_t code : all) EXPECT_LT(code, 0);
    EXPECT_EQ(kCannotConnect, -2146697212);  // INET_E_CANNOT_CONNECT as a signed 32-bit number
}

TEST(IsHtmlMimeType, HtmlAndXhtmlOnly) {
    EXPECT_TRUE(IsHtmlMimeType("text/html"));
    EXPECT_TRUE(IsHtmlMimeType("Text/HTML; charset=windows-1251"));
    EXPECT_TRUE(IsHtmlMimeType("application/xhtml+xml"));
    EXPECT_FALSE(IsHtmlMimeType("text/plain"));
    EXPECT_FALSE(IsHtmlMimeType("image/png"));
    EXPECT_FALSE(IsHtmlMimeType("application/xml"));
    EXPECT_FALSE(IsHtmlMimeType(""));
}

TEST(IsAttachment, TheDispositionKindDecides) {
    EXPECT_TRUE(IsAttachment("attachment"));
    EXPECT_TRUE(IsAttachment("Attachment; filename=\"a.zip\""));
    EXPECT_FALSE(IsAttachment("inline"));
    EXPECT_FALSE(IsAttachment("inline; filename=attachment.txt"));
    EXPECT_FALSE(IsAttachment(""));
}

TEST(NavigableUri, AddressesWithoutASchemeAreHttp) {
    EXPECT_EQ(NavigableUri("http://example.com/a"), "http://example.com/a");
    EXPECT_EQ(NavigableUri("HTTPS://example.com"), "HTTPS://example.com");
    EXPECT_EQ(NavigableUri("file:///opt/kiosk/start.html"), "file:///opt/kiosk/start.html");
    EXPECT_EQ(NavigableUri("about:blank"), "about:blank");
    EXPECT_EQ(NavigableUri("www.example.com/page"), "http://www.example.com/page");
    EXPECT_EQ(NavigableUri("localhost:8080/page"), "http://localhost:8080/page");
    EXPECT_EQ(NavigableUri(""), "");
}

}  // namespace
}  // namespace kiosk
