// The navigation buttons Home, Back and Refresh.

#include "app/form1.h"
#include "shell/page_buttons.h"

namespace kiosk {

void TForm1::RxSpeedButton4Click() {
    home_.Press(Browsing(), StartPageUrl());
}

void TForm1::RxSpeedButton2Click() {
    PressBack(Browsing());
}

void TForm1::RxSpeedButton3Click() {
    PressRefresh(Browsing());
}

}  // namespace kiosk
