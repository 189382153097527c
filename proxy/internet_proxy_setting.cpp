#include "proxy/internet_proxy_setting.h"

#include <exception>

namespace kiosk {

namespace {

constexpr std::int32_t kSyncModeWhenAbsent = 4;

// Closes the store's key when the operation ends, however it ends.
class OpenedKey {
public:
    explicit OpenedKey(UserSettingsStore& store) : store_(store) {}
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    ~OpenedKey() { store_.CloseKey(); }

private:
    UserSettingsStore& store_;
};

}  // namespace

void InternetProxySetting::Save(SavedProxySetting& saved) {
    if (!store_.OpenKey(kKey)) return;
    OpenedKey key(store_);
    // A value of the wrong kind fails the read, and the failure goes to the caller.
    const std::int32_t enable = store_.ReadInteger("ProxyEnable");
    const std::string server = store_.ReadText("ProxyServer");
    const std::int32_t syncMode =
        store_.ValueExists("SyncMode5") ? store_.ReadInteger("SyncMode5") : kSyncModeWhenAbsent;
    saved = {enable, server, syncMode};
}

std::string InternetProxySetting::Set(std::int32_t enable, std::int32_t syncMode, const std::string& server) {
    // A store that cannot be opened leaves the browser without the proxy: that is a failure too.
    if (!store_.OpenKey(kKey)) return "Невозможно настроить прокси";
    try {
        OpenedKey key(store_);
        store_.WriteInteger("ProxyEnable", enable);
        store_.WriteText("ProxyServer", server);
        store_.WriteInteger("SyncMode5", syncMode);
    } catch (const std::exception&) {
        return "Невозможно настроить прокси";
    }
    try {
        notifier_.SettingsChanged();
    } catch (const std::exception&) {
        return "Невозможно настроить прокси";
    }
    return {};
}

}  // namespace kiosk
