#include "script/script_files.h"

#include "os/text_files.h"

namespace kiosk {

namespace {

void LogFailure(const ScriptEnvironment& environment, const std::string& message) {
    if (!message.empty()) environment.log.WriteLog(LogLevel::Error, message);
}

}  // namespace

void AppendState(ScriptRun& run, const std::string& name, const ScriptEnvironment& environment) {
    const std::string_view text = run.text.View();
    const std::string line = "Result:" + LineColumn(text, run.searchResult) +
                             " Length:" + std::to_string(run.selectionLength) +
                             " Position:" + LineColumn(text, run.cursor) + "\r\n";
    LogFailure(environment, WriteTextFile(name, true, line, environment.directory));
}

void WriteWorkingText(ScriptRun& run, const std::string& name, const ScriptEnvironment& environment) {
    LogFailure(environment, WriteTextFile(name, false, run.text.View(), environment.directory));
}

void ReadWorkingText(ScriptRun& run, const std::string& name, const ScriptEnvironment& environment) {
    std::string content;
    const std::string message = ReadTextFile(name, content, environment.directory);
    // A read that fails part-way leaves the text as it was rather than a truncated document.
    if (message.empty()) {
        run.text.Assign(std::move(content));
    } else {
        LogFailure(environment, message);
    }
}

}  // namespace kiosk
