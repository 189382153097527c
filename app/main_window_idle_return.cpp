// The return to the start page after the idle time, and the key releases and the use of the page
// that count as activity.

#include "app/main_window.h"
#include "shell/idle_return.h"

namespace kiosk {

void MainWindow::OnIdleTimeout() {
    const long long before = home_.Replacements();
    ReturnAfterIdle(home_, Browsing(), StartPageUrl());
    metrics_.idleReturns += home_.Replacements() - before;
}

void MainWindow::OnKeyUp() {
    kiosk::RestartIdleTimer(*IdleTimer);
}

void MainWindow::OnPageActivity() {
    kiosk::RestartIdleTimer(*IdleTimer);
}

}  // namespace kiosk
