// Random scripts over random text: every operator with small parameters, jumps within the script,
// file operators on a few names in a private temporary directory.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "script/script_machine.h"

namespace {

class NullLog : public kiosk::LogWriter {
public:
    void WriteLog(kiosk::LogLevel, std::string_view) override {}
};

// A low bound keeps runaway loops cheap; the guard is what stops them.
constexpr std::int64_t kMostSteps = 4'000;
constexpr std::size_t kMostScriptSteps = 24;
const char* const kFileNames[] = {"a.txt", "b.txt"};

// A private directory for the file operators, removed when the process ends.
class PrivateDirectory {
public:
    PrivateDirectory() {
        char name[] = "/tmp/fuzz_script_machine.XXXXXX";
        if (::mkdtemp(name) == nullptr) ::abort();
        path_ = name;
    }
    ~PrivateDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

const std::string& Directory() {
    static const PrivateDirectory directory;
    return directory.path();
}

// Parameters come mostly from bytes that occur in markup, so tags and tails find something.
std::string Parameter(FuzzedDataProvider& data) {
    static const char kAlphabet[] = "<>/ab=\r\n ";
    std::string out;
    const std::size_t length = data.ConsumeIntegralInRange<std::size_t>(0, 6);
    for (std::size_t i = 0; i < length; ++i) {
        out += data.ConsumeBool()
                   ? kAlphabet[data.ConsumeIntegralInRange<std::size_t>(0, sizeof kAlphabet - 2)]
                   : static_cast<char>(data.ConsumeIntegral<std::uint8_t>());
    }
    return out;
}

bool IsFileOperator(int op) {
    return op == kiosk::opState || op == kiosk::opWrite || op == kiosk::opRead;
}

// withFiles: file operators are kept; otherwise they become labels, since a file operation in every
// pass of a loop makes a run slow.
kiosk::ScriptStep Step(FuzzedDataProvider& data, std::size_t count, bool withFiles) {
    kiosk::ScriptStep step;
    step.op = data.ConsumeIntegralInRange<int>(kiosk::opText, kiosk::opRead);
    if (!withFiles && IsFileOperator(step.op)) step.op = kiosk::opLabel;
    switch (step.op) {
        case kiosk::opGoto:
        case kiosk::opRepeat:
        case kiosk::opTry:
            step.parameter = std::to_string(data.ConsumeIntegralInRange<std::size_t>(0, count - 1));
            break;
        case kiosk::opExit: {
            static const char* const kConditions[] = {"", "true", "false", "TRUE"};
            step.parameter = kConditions[data.ConsumeIntegralInRange<int>(0, 3)];
            break;
        }
        case kiosk::opState:
        case kiosk::opWrite:
        case kiosk::opRead:
            step.parameter = kFileNames[data.ConsumeBool() ? 1 : 0];
            break;
        default:
            step.parameter = Parameter(data);
    }
    return step;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const std::size_t count = data.ConsumeIntegralInRange<std::size_t>(1, kMostScriptSteps);
    const bool withFiles = data.ConsumeIntegralInRange<int>(0, 7) == 0;
    kiosk::DocumentScript script{"fuzz", {}};
    for (std::size_t i = 0; i < count; ++i) script.steps.push_back(Step(data, count, withFiles));
    const bool searchPage = data.ConsumeBool();
    std::string text = data.ConsumeRemainingBytesAsString();
    // Each input starts without files, so that appends of earlier inputs do not pile up.
    for (const char* name : kFileNames) std::filesystem::remove(Directory() + "/" + name);
    NullLog log;
    const kiosk::ScriptEnvironment environment{log, Directory()};
    try {
        kiosk::RunScript(script, text, searchPage, environment, kiosk::ScriptBudget{.steps = kMostSteps});
    } catch (const std::runtime_error&) {
        // read of a file no write has created yet
    }
    return 0;
}
