#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/document_script.h"
#include "script/script_trace.h"
#include "util/log_writer.h"

namespace kiosk {

enum class ScriptOutcome {
    Done,    // the text is the new document
    Failed,  // the caller replaces the document by the "search" page
};

// What a run reaches outside the text: the log for the failures of its file operators, and the
// directory that relative file names of state, write and read are taken from (empty: current).
// charset: the document's character set, as the document filter decided it (a label
// text/charset_label.h knows; any other counts as windows-1251); the script's search and insert texts
// are converted to it, and read puts files into it. trace: none, or what watches the run.
struct ScriptEnvironment {
    LogWriter& log;
    std::string directory;
    std::string charset = "windows-1251";
    ScriptTrace* trace = nullptr;
};

// A run that has executed this many steps is ended as failed: a script that jumps backwards for ever
// must not hold a connection thread for ever.
inline constexpr std::int64_t kMostScriptSteps = 10'000'000;

// The work one run may do before it is ended as failed (one error entry naming the script): steps,
// time (a loop of searches over a large page takes long long before its steps run out), and the size
// of a text that keeps growing.
struct ScriptBudget {
    std::int64_t steps = kMostScriptSteps;
    std::chrono::milliseconds time{1000};
    std::int64_t textSize = 64ll << 20;
};

// Runs script over text (the document's bytes, in environment.charset; they are never converted). On
// Done, text holds the rewritten document. searchPageConfigured: the errors section names a "search"
// page, which makes a failed search end the run. A step whose text holds a character the charset
// lacks fails like a search that finds nothing (SearchResult 0, nothing else changes). Throws
// std::runtime_error when a file of state, write or read can be neither opened nor created (the
// answer's handling ends). On Failed, text holds the text as the run left it.
ScriptOutcome RunScript(const DocumentScript& script, std::string& text, bool searchPageConfigured,
                        const ScriptEnvironment& environment);

// The same with another budget (for tests and fuzzing).
ScriptOutcome RunScript(const DocumentScript& script, std::string& text, bool searchPageConfigured,
                        const ScriptEnvironment& environment, const ScriptBudget& budget);

// "line,column" of a 1-based byte position (see the state operator).
std::string LineColumn(std::string_view text, std::int64_t position);

}  // namespace kiosk
