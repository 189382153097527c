#include "keyboard/focus_text_field.h"

#include <exception>
#include <string>

#include "keyboard/text_field_walk.h"
#include "shell/browser_operations.h"

namespace kiosk {

namespace {

void LogFieldSearchFailure(LogWriter& log, const std::string& failure) {
    try {
        log.WriteLog(LogLevel::Error, "Поиск поля ввода: " + failure);
    } catch (...) {
        // The log cannot be written; the search has ended all the same.
    }
}

}  // namespace

bool FocusTextField(BrowserControl* browser, const KeysToggle& keys, LogWriter& log) {
    if (!DocumentReady(browser)) return false;
    try {
        return FocusFirstFieldOfEachForm(*browser, [&keys] { SetKeysDown(keys, true); });
    } catch (const std::exception& failure) {
        LogFieldSearchFailure(log, failure.what());
    } catch (...) {
        LogFieldSearchFailure(log, "Неизвестная ошибка");
    }
    return false;
}

}  // namespace kiosk
