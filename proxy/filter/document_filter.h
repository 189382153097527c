#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "config/key_value_table.h"
#include "proxy/http/proxy_connection.h"
#include "script/document_script.h"
#include "script/script_machine.h"
#include "util/log_writer.h"

namespace kiosk {

// What the filter has done since the program started, for the terminal's metrics.
struct FilterCounters {
    std::atomic<long long> rewritten{0};       // answers whose body the filter replaced
    std::atomic<long long> scriptFailures{0};  // script runs that ended in failure
};

// Watches the filter's decisions for one answer, for an operator who wants to see what the scripts do
// to a page (kiosk --rewrite). Called on the answer's connection thread.
class FilterTrace : public ScriptTrace {
public:
    // The body's content encodings, as the answer lists them (empty: none), and the charset its
    // texts are matched in, with where that came from ("Content-Type", "byte-order mark", "meta",
    // "default").
    virtual void Decoded(const std::string& encodings, const std::string& charset,
                         const std::string& source) = 0;
    virtual void ScriptStarted(const DocumentScript& script) = 0;
    virtual void ScriptEnded(const DocumentScript& script, ScriptOutcome outcome) = 0;
    // What became of the answer, in a few words ("переписан ...", "не фильтруется: ...").
    virtual void Outcome(const std::string& text) = 0;
};

// What the document filter reads and reaches: the configuration (read-only while the proxy runs),
// the log, the main window's text-field poll, and the directory relative file names are taken from
// (empty: the current directory).
struct DocumentFilterSettings {
    const KeyValueTable& options;
    const KeyValueTable& errors;
    const DocumentScriptList& scripts;
    LogWriter& log;
    // Starts the main window's text-field poll (from any thread; a running poll is left alone).
    std::function<void()> startFocusPoll;
    std::string directory;
    FilterCounters* counters = nullptr;
    FilterTrace* trace = nullptr;
};

// Whether an answer, by its status line, headers and script key, is one the filter may change, so
// that its body must be read whole; every other answer passes as it arrives.
bool WantsDocument(const ProxyConnection& context, const DocumentScriptList& scripts);

// The proxy's document hook, for every body it has read whole. An eligible text answer is decoded,
// replaced by the configured page when its status is an error, or rewritten by every script whose
// pattern fits its host and target; its headers are corrected. The headers are then appended to the
// dump file when one is configured. Throws std::runtime_error when a page or script file cannot be
// opened (the answer's handling ends).
void FilterDocument(ProxyConnection& context, std::string& body, const DocumentFilterSettings& settings);

}  // namespace kiosk
