#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

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
        return RunWithin(std::move(text), std::move(steps), ScriptBudget{.steps = mostSteps}, searchPage);
    }
    RunResult RunWithin(std::string text, std::vector<ScriptStep> steps, const ScriptBudget& budget,
                        bool searchPage = false) {
        const DocumentScript script{"http://site/*", std::move(steps)};
        const ScriptOutcome outcome = RunScript(script, text, searchPage, environment_, budget);
        return {outcome, std::move(text)};
    }

    RecordingLog log;

private:
    ScriptEnvironment environment_;
};

inline constexpr auto kDone = ScriptOutcome::Done;
inline constexpr auto kFailed = ScriptOutcome::Failed;

// add "|" as a last step shows where the cursor was left.
inline const ScriptStep kMarkCursor{opAdd, "|"};

// A test of operators: each run rewrites a text and must end with Done.
class ScriptRewriteTest : public ::testing::Test {
protected:
    // The resulting text of a run that must end with Done.
    std::string Rewrite(std::string text, std::vector<ScriptStep> steps, bool searchPage = false) {
        const RunResult result = harness_.Run(std::move(text), std::move(steps), searchPage);
        EXPECT_EQ(result.outcome, kDone);
        return result.text;
    }

    ScriptHarness harness_;
};

}  // namespace kiosk::testing
