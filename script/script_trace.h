#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "script/document_script.h"

namespace kiosk {

// What one step of a run did, for an operator who wants to see a script at work (kiosk --rewrite).
struct TracedStep {
    std::size_t index = 0;           // zero-based step number in the script
    int op = opUrl;                  // the operator
    std::int64_t searchResult = -1;  // after the step: -1 no search yet, 0 not found, else the position
    std::int64_t cursor = 1;         // after the step
    bool searched = false;           // the step was text, expand, tag or tail
    std::string unconvertible;       // a character of the parameter the page's charset cannot hold
};

// Watches runs of the script machine. The machine calls it on the run's own thread; a run without a
// trace pays nothing.
class ScriptTrace {
public:
    virtual ~ScriptTrace() = default;
    virtual void StepRan(const DocumentScript& script, const TracedStep& step) = 0;
};

}  // namespace kiosk
