#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/form_parts.h"
#include "tests/support/event_record.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_ui.h"

namespace kiosk::testing {

class FakeSystemProxySetting : public SystemProxySetting {
public:
    explicit FakeSystemProxySetting(EventRecord& record) : record_(record) {}
    void Save(SavedProxySetting& saved) override {
        record_.Add("SaveProxySetting");
        if (!saveFailure.empty()) throw std::runtime_error(saveFailure);
        saved = current;
    }
    std::string Set(std::int32_t enable, std::int32_t syncMode, const std::string& server) override {
        record_.Add("SetProxySetting " + std::to_string(enable) + " " + std::to_string(syncMode) + " " +
                    server);
        return setErrors.empty() ? std::string() : NextError();
    }

    SavedProxySetting current{0, "old:3128", 4};
    std::string saveFailure;             // thrown by Save when not empty
    std::vector<std::string> setErrors;  // returned by the Set calls in turn

private:
    std::string NextError() {
        std::string error = setErrors.front();
        setErrors.erase(setErrors.begin());
        return error;
    }
    EventRecord& record_;
};

class FakeProxyServer : public ProxyServer {
public:
    FakeProxyServer(EventRecord& record, std::function<void()> onFree)
        : record_(record), onFree_(std::move(onFree)) {}
    ~FakeProxyServer() override {
        record_.Add("ProxyFreed");
        if (onFree_) onFree_();
    }
    void Configure(const ProxyServerSettings& s) override {
        settings = s;
        record_.Add("ProxyConfigure port=" + std::to_string(s.DefaultPort));
    }
    void SetHooks(ProxyHooks h) override {
        hooks = std::move(h);
        record_.Add("ProxyHooks");
    }
    void SetActive(bool a) override {
        record_.Add(a ? "ProxyActivate" : "ProxyDeactivate");
        if (a && !activationFailure.empty()) throw std::runtime_error(activationFailure);
        active = a;
    }
    bool Active() const override { return active; }

    ProxyServerSettings settings;
    ProxyHooks hooks;
    bool active = false;
    std::string activationFailure;

private:
    EventRecord& record_;
    std::function<void()> onFree_;
};

class FakeMailWorker : public MailWorker {
public:
    explicit FakeMailWorker(EventRecord& record) : record_(record) { record_.Add("MailWorkerCreated"); }
    ~FakeMailWorker() override { record_.Add("MailWorkerFreed"); }
    bool Suspended() const override { return suspended_; }
    void Suspend() override {
        suspended_ = true;
        record_.Add("MailWorkerSuspend");
    }
    bool Terminated() const override { return terminated_; }
    void Terminate() override {
        terminated_ = true;
        record_.Add("MailWorkerTerminate");
    }

private:
    EventRecord& record_;
    bool suspended_ = false;  // as if a notification had woken it
    bool terminated_ = false;
};

class FakeBrowser : public BrowserControl {
public:
    explicit FakeBrowser(EventRecord& record) : record_(record) {}
    void Navigate(const std::string& url) override { record_.Add("Navigate " + url); }
    void SetVisible(bool visible) override {
        record_.Add(std::string("BrowserVisible ") + (visible ? "1" : "0"));
    }
    void SetSilent(bool silent) override {
        record_.Add(std::string("BrowserSilent ") + (silent ? "1" : "0"));
    }

private:
    EventRecord& record_;
};

class FakeKeyboard : public OnScreenKeyboard {
public:
    explicit FakeKeyboard(EventRecord& record) : record_(record) {}
    void PlaceKeyboard(PanelModel& target, MainWindowControls&, int keys, int interval) override {
        record_.Add("PlaceKeyboard " + std::to_string(keys) + " " + std::to_string(interval));
        if (placedWidth > 0) target.Width = placedWidth;
    }
    void SetCopyPasteSwitches(bool copy, bool paste) override {
        record_.Add(std::string("CopyPaste ") + (copy ? "1" : "0") + (paste ? "1" : "0"));
    }
    int placedWidth = 0;  // width the placed keyboard takes; 0 keeps the design width

private:
    EventRecord& record_;
};

class FakeMouseHooks : public MouseHookInstaller {
public:
    explicit FakeMouseHooks(EventRecord& record) : record_(record) {}
    MouseHookHandle Install() override {
        record_.Add("InstallHook");
        return 42;
    }
    void Remove(MouseHookHandle hook) override { record_.Add("RemoveHook " + std::to_string(hook)); }

private:
    EventRecord& record_;
};

class FakeFullScreen : public FullScreenSizer {
public:
    explicit FakeFullScreen(EventRecord& record) : record_(record) {}
    void FitToScreen(MainWindowControls&) override { record_.Add("FitToScreen"); }

private:
    EventRecord& record_;
};

}  // namespace kiosk::testing
