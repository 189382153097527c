#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window_parts.h"
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

// Records every certificate the proxy asks the browser to accept.
class FakeCertificateTrust : public BrowserCertificateTrust {
public:
    void AllowCertificate(const std::shared_ptr<const LeafCertificate>& leaf,
                          std::function<void()> taken) override {
        hosts.push_back(leaf->host);
        taken();
    }
    std::vector<std::string> hosts;
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

// An element of a scripted document, with the properties the late-bound reads return.
struct FakeElement {
    std::string tagName = "INPUT";
    std::string type = "text";
    std::string disabled = "False";
    std::string display;
    bool focusFails = false;  // Focus throws
};

using FakeForm = std::vector<FakeElement>;

class FakeBrowser : public BrowserControl {
public:
    explicit FakeBrowser(EventRecord& record) : record_(record) {}
    ~FakeBrowser() override { record_.Add("BrowserDestroyed"); }

    void Navigate(const std::string& url) override { record_.Add("Navigate " + url); }
    void GoBack() override { Call("GoBack"); }
    void Refresh() override { Call("Refresh"); }
    void Reload(int level) override { Call("Reload " + std::to_string(level)); }
    void Stop() override { Call("Stop"); }
    bool HasHtmlDocument() override { return htmlDocument; }
    void SetVisible(bool visible) override { Flag("BrowserVisible", visible); }
    void SetSilent(bool silent) override { Flag("BrowserSilent", silent); }
    void SetStatusBar(bool shown) override { Flag("BrowserStatusBar", shown); }
    void SetAddressBar(bool shown) override { Flag("BrowserAddressBar", shown); }
    void SetEnabled(bool enabled) override { Flag("BrowserEnabled", enabled); }
    void SetPreferredLanguages(const std::vector<std::string>& languages) override {
        std::string list;
        for (const std::string& language : languages) list += (list.empty() ? "" : ",") + language;
        record_.Add("Languages " + list);
    }
    void SetBodyStyles(const std::vector<BodyStyle>& styles) override {
        if (RunsEventsThatDestroyIt()) throw BrowserControlGone();
        if (!styleFailure.empty()) throw std::runtime_error(styleFailure);
        for (const BodyStyle& style : styles) record_.Add("BodyStyle " + style.name + "=" + style.value);
    }
    // Not recorded: the window attaches its events when it is built, before anything is recorded.
    void SetEvents(BrowserEvents* e) override { events = e; }

    // A page load starting, as the browser counts it.
    void StartLoad() { CountStartedLoad(); }
    // The browser's events, as if it raised them.
    void CompleteDocument(const std::string& url) { events->DocumentComplete(url); }
    void FailNavigation(const std::string& url, std::int32_t code) { events->NavigateError(url, code); }
    void ReportProgress(std::int32_t progress, std::int32_t maximum) {
        events->ProgressChange(progress, maximum);
    }
    bool AskToNavigate(const std::string& url) {
        bool cancel = false;
        events->BeforeNavigate(url, cancel);
        return cancel;
    }
    bool AskForNewWindow() {
        bool cancel = false;
        events->NewWindow(cancel);
        return cancel;
    }

    int FormCount() override {
        Read();
        return static_cast<int>(forms.size());
    }
    int ElementCount(int form) override {
        Read();
        return static_cast<int>(forms.at(form).size());
    }
    std::string TagName(int form, int element) override { return At(form, element).tagName; }
    std::string Type(int form, int element) override { return At(form, element).type; }
    std::string Disabled(int form, int element) override { return At(form, element).disabled; }
    std::string StyleDisplay(int form, int element) override { return At(form, element).display; }
    void Focus(int form, int element) override {
        if (RunsEventsThatDestroyIt()) throw BrowserControlGone();
        if (At(form, element).focusFails) throw std::runtime_error("cannot focus");
        record_.Add("Focus " + std::to_string(form) + " " + std::to_string(element));
    }

    bool htmlDocument = true;     // the page shown is an HTML document
    std::vector<FakeForm> forms;  // the document's forms and their elements
    std::string readFailure;      // thrown by every read of the document when not empty
    std::string callFailure;      // thrown by GoBack, Refresh, Reload and Stop when not empty
    std::string styleFailure;     // thrown by SetBodyStyles when not empty
    BrowserEvents* events = nullptr;
    // Run by the next SetBodyStyles or Focus, as events processed while the call waits; when it
    // destroys this control the call fails as the control's calls then do.
    std::function<void()> duringNextCall;

private:
    // Runs duringNextCall once; true when this control was destroyed by it.
    bool RunsEventsThatDestroyIt() {
        if (!duringNextCall) return false;
        const std::shared_ptr<const bool> alive = AliveFlag();
        std::exchange(duringNextCall, nullptr)();
        return !*alive;
    }
    void Call(const std::string& call) {
        if (!callFailure.empty()) throw std::runtime_error(callFailure);
        record_.Add(call);
    }
    void Read() const {
        if (!readFailure.empty()) throw std::runtime_error(readFailure);
    }
    const FakeElement& At(int form, int element) const {
        Read();
        return forms.at(form).at(element);
    }
    void Flag(const std::string& name, bool on) { record_.Add(name + (on ? " 1" : " 0")); }
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
