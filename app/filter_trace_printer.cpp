#include "app/filter_trace_printer.h"

#include <algorithm>

namespace kiosk {

namespace {

// A parameter on one line, cut when long: the trace is read on a terminal.
std::string ShownParameter(const std::string& parameter) {
    constexpr size_t kLongest = 60;
    size_t end = std::min(parameter.size(), kLongest);
    while (end < parameter.size() && end > 0 && (static_cast<unsigned char>(parameter[end]) & 0xC0) == 0x80)
        --end;  // not inside a UTF-8 character
    std::string shown;
    for (const char c : parameter.substr(0, end)) shown += c == '\n' || c == '\r' ? ' ' : c;
    if (end < parameter.size()) shown += "…";
    return shown;
}

}  // namespace

std::string SearchResultText(const TracedStep& step) {
    if (!step.searched) return {};
    if (step.searchResult <= 0) return "не найдено";
    return "найдено: байт " + std::to_string(step.searchResult);
}

void FilterTracePrinter::Decoded(const std::string& encodings, const std::string& charset,
                                 const std::string& source) {
    Note("сжатие: " + (encodings.empty() ? std::string("нет") : encodings) + "; кодировка: " + charset +
         " (" + source + ")");
}

void FilterTracePrinter::ScriptStarted(const DocumentScript& script) {
    Note("скрипт " + script.pattern);
}

void FilterTracePrinter::StepRan(const DocumentScript& script, const TracedStep& step) {
    std::string line = "  шаг " + std::to_string(step.index) + ": " + OperatorName(step.op);
    if (step.index < script.steps.size() && !script.steps[step.index].parameter.empty())
        line += " «" + ShownParameter(script.steps[step.index].parameter) + "»";
    if (const std::string found = SearchResultText(step); !found.empty()) line += " — " + found;
    if (!step.unconvertible.empty())
        line += " — символ «" + step.unconvertible + "» не представим в кодировке страницы";
    Note(line);
}

void FilterTracePrinter::ScriptEnded(const DocumentScript& script, ScriptOutcome outcome) {
    Note("скрипт " + script.pattern + ": " + (outcome == ScriptOutcome::Done ? "выполнен" : "не выполнен"));
}

void FilterTracePrinter::Outcome(const std::string& text) {
    Note("итог фильтра: " + text);
}

void FilterTracePrinter::Note(const std::string& text) {
    const std::lock_guard lock(mutex_);
    out_ << text << '\n' << std::flush;
}

std::string FilterTracePrinter::OperatorName(int op) const {
    return op >= 0 && op < operators_.Count() ? operators_.Name(op) : "оператор " + std::to_string(op);
}

}  // namespace kiosk
