// The navigation buttons Home, Back and Refresh.

#include "app/form1.h"
#include "shell/page_buttons.h"

namespace kiosk {

void TForm1::RxSpeedButton4Click() {
    const long long before = home_.Replacements();
    home_.Press(Browsing(), StartPageUrl());
    metrics_.homes += home_.Replacements() - before;
}

void TForm1::RxSpeedButton2Click() {
    PressBack(Browsing());
}

void TForm1::RxSpeedButton3Click() {
    PressRefresh(Browsing());
}

}  // namespace kiosk
