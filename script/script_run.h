#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "script/working_text.h"

namespace kiosk {

// The state of one script run. Positions are 1-based; 0 means "none". The selected piece and the
// selected opening tag are kept by their lengths only: no operator looks at their bytes.
struct ScriptRun {
    explicit ScriptRun(std::string document) : text(std::move(document)), searchEnd(text.size()) {}

    void ClearTag() { tagLength = tagStart = tagEnd = 0; }

    WorkingText text;
    std::int64_t stepIndex = 0;
    std::int64_t cursor = 1;         // where forward searches and add start
    std::int64_t searchEnd;          // last position at which a search may find something
    std::int64_t matchPos = 0;       // the last found or inserted piece
    std::int64_t searchResult = -1;  // -1 nothing searched yet, 0 failed, else where it was found
    std::int64_t selectionLength = 0;
    std::int64_t tagLength = 0;  // 0: no opening tag selected
    std::int64_t tagStart = 0;   // its "<"
    std::int64_t tagEnd = 0;     // its ">"
    int previousOperator = -1;
};

// The search operators; each sets searchResult. Their parameters are bytes.
void FindText(ScriptRun& run, std::string_view needle);
void ExpandToTag(ScriptRun& run, std::string_view name);
void FindTag(ScriptRun& run, std::string_view name);
void FindTail(ScriptRun& run, std::string_view name);

// The editing operators.
void DeleteSelection(ScriptRun& run);
void ReplaceSelection(ScriptRun& run, std::string_view bytes);
void InsertAtMatch(ScriptRun& run, std::string_view bytes);
void AddAtCursor(ScriptRun& run, std::string_view bytes);
void StripTag(ScriptRun& run);

// The cursor operators start, current and after.
void MoveCursor(ScriptRun& run, std::int64_t position);

}  // namespace kiosk
