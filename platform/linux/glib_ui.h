#pragma once

#include <memory>
#include <thread>

#include "os/ui.h"

namespace kiosk {

// The main thread's event loop on the GLib main context. SIGTERM, SIGINT and SIGHUP close the main
// window as a user would, so that the shutdown sequence runs.
class GlibUi : public Ui {
public:
    GlibUi();
    ~GlibUi() override;

    void ProcessMessages() override;
    void RunOnMainThread(std::function<void()> fn, bool wait) override;
    std::unique_ptr<Timer> CreateTimer() override;
    void ShowErrorBox(const std::string& title, const std::string& message) override;
    void CloseErrorBoxes() override;
    void ClearClipboard() override;
    bool CtrlKeyDown() const override;
    void RunMessageLoop() override;
    void CloseMainWindow() override;
    bool CloseRequested() const override;

private:
    struct Loop;
    std::unique_ptr<Loop> loop_;
    std::thread::id mainThread_;
};

}  // namespace kiosk
