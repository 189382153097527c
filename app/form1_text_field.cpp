// The search for a text field when a page has loaded, and the poll that repeats it.

#include <exception>

#include "app/form1.h"
#include "keyboard/text_field_walk.h"

namespace kiosk {

namespace {

constexpr int kFocusPollLimit = 3;

}  // namespace

// A document that cannot be read ends this search only: the error is logged and a running poll
// goes on with its next tick.
bool TForm1::FocusTextField() {
    if (!DocumentReady()) return false;
    try {
        return FocusFirstFieldOfEachForm(*WebBrowser1, [this] { OpenKeyboard(); });
    } catch (const std::exception& failure) {
        LogFieldSearchFailure(failure.what());
    } catch (...) {
        LogFieldSearchFailure("Неизвестная ошибка");
    }
    return false;
}

void TForm1::OpenKeyboard() {
    if (Controls.RxSpeedButton1.Down) return;
    Controls.RxSpeedButton1.Down = true;
    RxSpeedButton1Click();
}

void TForm1::LogFieldSearchFailure(const std::string& failure) {
    try {
        WriteLog(LogLevel::Error, "Поиск поля ввода: " + failure);
    } catch (...) {
        // The log cannot be written; the search has ended all the same.
    }
}

void TForm1::Timer1Timer() {
    if (Timer1->Tag < kFocusPollLimit) {
        Timer1->Tag = Timer1->Tag + 1;
        if (FocusTextField()) StopFocusPoll();
        return;
    }
    StopFocusPoll();
    if (Controls.RxSpeedButton1.Down) {
        Controls.RxSpeedButton1.Down = false;
        RxSpeedButton1Click();
    }
}

// A running poll keeps its count.
void TForm1::StartFocusPoll() {
    if (Timer1->Enabled()) return;
    Timer1->Tag = 0;
    Timer1->SetEnabled(true);
}

void TForm1::StopFocusPoll() {
    Timer1->SetEnabled(false);
    Timer1->Tag = 0;
}

}  // namespace kiosk
