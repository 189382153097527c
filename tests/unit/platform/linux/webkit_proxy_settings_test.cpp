#include "platform/linux/webkit_proxy_settings.h"

#include <gtest/gtest.h>

#include "platform/linux/file_settings_store.h"
#include "proxy/internet_proxy_setting.h"
#include "tests/support/temp_dir.h"

namespace kiosk {
namespace {

class NoNotifier : public InternetSettingsNotifier {
public:
    void SettingsChanged() override {}
};

class BrowserProxyTest : public ::testing::Test {
protected:
    testing::TempDir dir_;
    FileSettingsStore store_{(dir_ / "user-settings").string()};
    NoNotifier notifier_;
    InternetProxySetting setting_{store_, notifier_};
};

TEST_F(BrowserProxyTest, WhatTheSystemProxySettingWritesIsRead) {
    ASSERT_EQ(setting_.Set(1, 0, "127.0.0.1:8181"), "");
    EXPECT_EQ(ReadBrowserProxy(store_), (BrowserProxy{true, "http://127.0.0.1:8181"}));
    ASSERT_EQ(setting_.Set(0, 0, "127.0.0.1:8181"), "");
    EXPECT_EQ(ReadBrowserProxy(store_), BrowserProxy{});
}

TEST_F(BrowserProxyTest, AnAbsentOrUnreadableSettingIsNoProxy) {
    EXPECT_EQ(ReadBrowserProxy(store_), BrowserProxy{});
    ASSERT_TRUE(store_.OpenKey(InternetProxySetting::kKey));
    store_.WriteText("ProxyEnable", "1");  // text where an integer belongs
    store_.WriteText("ProxyServer", "127.0.0.1:8181");
    store_.CloseKey();
    EXPECT_EQ(ReadBrowserProxy(store_), BrowserProxy{});
    ASSERT_EQ(setting_.Set(1, 0, ""), "");
    EXPECT_EQ(ReadBrowserProxy(store_), BrowserProxy{});
}

TEST(ProxyUriOf, HostAndPortBecomeAnHttpProxy) {
    EXPECT_EQ(ProxyUriOf("127.0.0.1:8181"), "http://127.0.0.1:8181");
    EXPECT_EQ(ProxyUriOf(" proxy.local:3128 "), "http://proxy.local:3128");
    EXPECT_EQ(ProxyUriOf("[::1]:8181"), "http://[::1]:8181");
    EXPECT_EQ(ProxyUriOf("socks5://127.0.0.1:1080"), "socks5://127.0.0.1:1080");
    EXPECT_EQ(ProxyUriOf(""), "");
}

}  // namespace
}  // namespace kiosk
