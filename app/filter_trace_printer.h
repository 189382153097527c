#pragma once

#include <mutex>
#include <ostream>
#include <string>

#include "config/key_value_table.h"
#include "proxy/filter/document_filter.h"

namespace kiosk {

// Writes what the document filter and the scripts do to one answer as lines of text, for an operator
// (kiosk --rewrite). Operators are named by the operator table's rows. The proxy's threads may call it.
class FilterTracePrinter : public FilterTrace {
public:
    FilterTracePrinter(std::ostream& out, const KeyValueTable& operators)
        : out_(out), operators_(operators) {}

    void Decoded(const std::string& encodings, const std::string& charset,
                 const std::string& source) override;
    void ScriptStarted(const DocumentScript& script) override;
    void StepRan(const DocumentScript& script, const TracedStep& step) override;
    void ScriptEnded(const DocumentScript& script, ScriptOutcome outcome) override;
    void Outcome(const std::string& text) override;

    // A line of the tool's own.
    void Note(const std::string& text);

private:
    std::string OperatorName(int op) const;

    std::ostream& out_;
    const KeyValueTable& operators_;
    std::mutex mutex_;
};

// What a traced step found: "не найдено", or "найдено: байт N" (1-based); empty for a step that does
// not search.
std::string SearchResultText(const TracedStep& step);

}  // namespace kiosk
