#include "script/script_machine.h"

#include <charconv>
#include <vector>

#include "script/script_files.h"
#include "script/script_run.h"
#include "script/step_texts.h"
#include "text/unicode.h"

namespace kiosk {

namespace {

enum class StepEnd { Next, Done, Failed };

bool IsSearch(int op) {
    return op == opText || op == opExpand || op == opTag || op == opTail;
}

// Jumps to the label step named by the parameter; the loop then goes on after the label. The loader
// always writes a step number; anything else (only a hand-made script has it) does not jump.
void Jump(ScriptRun& run, const std::string& target) {
    std::int64_t index = 0;
    const char* end = target.data() + target.size();
    const auto [last, error] = std::from_chars(target.data(), end, index);
    if (error == std::errc() && last == end && index >= 0) run.stepIndex = index;
}

bool ExitTaken(const ScriptRun& run, const std::string& condition) {
    if (condition.empty()) return true;
    if (condition == "true") return run.searchResult > 0;
    if (condition == "false") return run.searchResult == 0;
    return false;
}

StepEnd Execute(ScriptRun& run, const ScriptStep& step, const StepText& text,
                const ScriptEnvironment& environment) {
    // A text the page's charset cannot hold is found nowhere and inserted nowhere: the step fails
    // like a search that finds nothing.
    if (text.missing != 0) {
        run.searchResult = 0;
        return StepEnd::Next;
    }
    const std::string& bytes = text.bytes;
    switch (step.op) {
        case opText:
            FindText(run, bytes);
            break;
        case opExpand:
            ExpandToTag(run, bytes);
            break;
        case opTag:
            FindTag(run, bytes);
            break;
        case opTail:
            FindTail(run, bytes);
            break;
        case opDelete:
            DeleteSelection(run);
            break;
        case opReplace:
            ReplaceSelection(run, bytes);
            break;
        case opInsert:
            InsertAtMatch(run, bytes);
            break;
        case opAdd:
            AddAtCursor(run, bytes);
            break;
        case opStrip:
            StripTag(run);
            break;
        case opStart:
            MoveCursor(run, 1);
            break;
        case opCurrent:
            MoveCursor(run, run.matchPos);
            break;
        case opAfter:
            MoveCursor(run, run.matchPos + run.selectionLength);
            break;
        case opGoto:
            Jump(run, step.parameter);
            break;
        case opRepeat:
            if (run.searchResult > 0) Jump(run, step.parameter);
            break;
        case opTry:
            if (run.searchResult == 0) Jump(run, step.parameter);
            break;
        case opExit:
            return ExitTaken(run, step.parameter) ? StepEnd::Done : StepEnd::Next;
        case opState:
            AppendState(run, step.parameter, environment);
            break;
        case opWrite:
            WriteWorkingText(run, step.parameter, environment);
            break;
        case opRead:
            ReadWorkingText(run, step.parameter, environment);
            break;
        default:
            break;  // url, inside, inner, label, continue: nothing to do
    }
    return StepEnd::Next;
}

// A failed search ends the run at the next step unless that step is continue, when a "search" page
// can be shown instead of the document.
bool SearchFailureEnds(const ScriptRun& run, int op, bool searchPageConfigured) {
    return searchPageConfigured && run.searchResult == 0 && IsSearch(run.previousOperator) &&
           op != opContinue;
}

// Why the run has used up its budget; nothing while it has not.
const char* BudgetExceeded(const ScriptRun& run, std::int64_t executed, const ScriptBudget& budget,
                           std::chrono::steady_clock::time_point deadline) {
    if (executed >= budget.steps) return "слишком много шагов";
    if (run.text.size() > budget.textSize) return "слишком большой текст";
    if (std::chrono::steady_clock::now() >= deadline) return "слишком долго";
    return nullptr;
}

void TraceStep(const ScriptRun& run, const DocumentScript& script, std::size_t index, const StepText& text,
               ScriptTrace& trace) {
    const int op = script.steps[index].op;
    TracedStep traced{index, op, run.searchResult, run.cursor, IsSearch(op), {}};
    if (text.missing != 0) AppendUtf8(traced.unconvertible, text.missing);
    trace.StepRan(script, traced);
}

ScriptOutcome RunSteps(ScriptRun& run, const DocumentScript& script, bool searchPageConfigured,
                       const ScriptEnvironment& environment, const ScriptBudget& budget) {
    const std::vector<StepText>& texts = StepTextsFor(script, environment);
    const auto count = static_cast<std::int64_t>(script.steps.size());
    const auto deadline = std::chrono::steady_clock::now() + budget.time;
    std::int64_t executed = 0;
    while (run.stepIndex >= 0 && run.stepIndex < count) {
        // Scripts jump backwards freely; one that never ends must not hold its connection thread (or
        // the shutdown) for ever, so a run that has used up its budget fails like a failed search.
        if (const char* reason = BudgetExceeded(run, executed, budget, deadline)) {
            environment.log.WriteLog(LogLevel::Error,
                                     "Скрипт документа " + script.pattern + " прерван: " + reason);
            return ScriptOutcome::Failed;
        }
        const auto index = static_cast<std::size_t>(run.stepIndex);
        const ScriptStep& step = script.steps[index];
        if (step.op == opError) return ScriptOutcome::Failed;
        if (SearchFailureEnds(run, step.op, searchPageConfigured)) return ScriptOutcome::Failed;
        const StepEnd end = Execute(run, step, texts[index], environment);
        if (environment.trace != nullptr) TraceStep(run, script, index, texts[index], *environment.trace);
        if (end == StepEnd::Done) return ScriptOutcome::Done;
        ++executed;
        run.previousOperator = step.op;
        ++run.stepIndex;
    }
    return ScriptOutcome::Done;
}

}  // namespace

ScriptOutcome RunScript(const DocumentScript& script, std::string& text, bool searchPageConfigured,
                        const ScriptEnvironment& environment) {
    return RunScript(script, text, searchPageConfigured, environment, ScriptBudget{});
}

ScriptOutcome RunScript(const DocumentScript& script, std::string& text, bool searchPageConfigured,
                        const ScriptEnvironment& environment, const ScriptBudget& budget) {
    ScriptRun run(std::move(text));
    try {
        const ScriptOutcome outcome = RunSteps(run, script, searchPageConfigured, environment, budget);
        text = run.text.Release();
        return outcome;
    } catch (...) {
        text = run.text.Release();
        throw;
    }
}

}  // namespace kiosk
