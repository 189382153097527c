#pragma once

#include <memory>
#include <string>
#include <vector>

#include "script/script_text_cache.h"

namespace kiosk {

// Operator numbers: positions of the rows of the operator table.
enum ScriptOperator : int {
    opUrl = 0,
    opText,
    opExpand,
    opTag,
    opTail,
    opDelete,
    opReplace,
    opInsert,
    opAdd,
    opStrip,
    opStart,
    opCurrent,
    opAfter,
    opInside,
    opInner,
    opLabel,
    opGoto,
    opRepeat,
    opTry,
    opContinue,
    opError,
    opExit,
    opState,
    opWrite,
    opRead,
    kOperatorCount,
};

struct ScriptStep {
    int op = opUrl;
    // For goto, repeat and try: after loading, the decimal number of the target label step.
    std::string parameter;
};

// One compiled document section: the url pattern and the steps in file order. The steps do not change
// once the script has run: the machine keeps their texts converted to each page charset in texts.
struct DocumentScript {
    std::string pattern;
    std::vector<ScriptStep> steps;
    mutable ScriptTextCache texts{};
};

// The compiled scripts in the order of their section headers; the list owns them.
using DocumentScriptList = std::vector<std::unique_ptr<DocumentScript>>;

}  // namespace kiosk
