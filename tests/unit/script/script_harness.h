#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/document_script.h"
#include "script/script_machine.h"
#include "tests/support/recording_log.h"

namespace kiosk::testing {

struct RunResult {
    ScriptOutcome outcome;
    std::string text;
};

// Runs steps (jump parameters are step numbers, as the loader leaves them) over text.
class ScriptHarness {
public:
    explicit ScriptHarness(std::string directory = {}) : environment_{log, std::move(directory)} {}

    RunResult Run(std::string text, std::vector<ScriptStep> steps, bool searchPage = false,
                  std::int64_t mostSteps = kMostScriptSteps) {
        const DocumentScript script{"http://site/*", std::move(steps)};
        const ScriptOutcome outcome = RunScript(script, text, searchPage, environment_, mostSteps);
        return {outcome, std::move(text)};
    }

    RecordingLog log;

private:
    ScriptEnvironment environment_;
};

}  // namespace kiosk::testing
