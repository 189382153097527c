// The four buttons: Home, Back and Refresh, and Keys, which shows or hides the keyboard and fits the
// bottom panel around it.

#include "app/main_window.h"
#include "shell/page_buttons.h"

namespace kiosk {

void MainWindow::OnHomePressed() {
    const long long before = home_.Replacements();
    home_.Press(Browsing(), StartPageUrl());
    metrics_.homes += home_.Replacements() - before;
}

void MainWindow::OnBackPressed() {
    PressBack(Browsing());
}

void MainWindow::OnRefreshPressed() {
    PressRefresh(Browsing());
}

void MainWindow::OnKeysPressed() {
    ClickKeys(Keys());
}

KeysToggle MainWindow::Keys() {
    return {Controls, MinButtonPanelWidth, RefreshCaptions, *IdleTimer};
}

}  // namespace kiosk
