// The Keys button: shows or hides the keyboard and fits the bottom panel around it.

#include "app/form1.h"

namespace kiosk {

void TForm1::RxSpeedButton1Click() {
    ClickKeys(Keys());
}

KeysToggle TForm1::Keys() {
    return {Controls, MinButtonPanelWidth, RefreshCaptions, *Timer2};
}

}  // namespace kiosk
