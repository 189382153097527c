#pragma once

#include <functional>
#include <map>
#include <mutex>

#include "os/user_settings_store.h"

namespace kiosk {

// Announces a change of the Internet settings to everyone who listens (each live browser control
// re-reads its proxy then).
class InternetSettingsBroadcaster : public InternetSettingsNotifier {
public:
    using Listener = std::function<void()>;

    // Returns the token that ends the subscription.
    int Subscribe(Listener listener) {
        std::lock_guard lock(mutex_);
        listeners_[++lastToken_] = std::move(listener);
        return lastToken_;
    }
    void Unsubscribe(int token) {
        std::lock_guard lock(mutex_);
        listeners_.erase(token);
    }
    void SettingsChanged() override {
        std::map<int, Listener> listeners;
        {
            std::lock_guard lock(mutex_);
            listeners = listeners_;
        }
        for (auto& [token, listener] : listeners) listener();
    }

private:
    std::mutex mutex_;
    std::map<int, Listener> listeners_;
    int lastToken_ = 0;
};

}  // namespace kiosk
