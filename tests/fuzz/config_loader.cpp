// Feeds arbitrary files to the configuration loader: whatever the bytes, it returns empty text or one
// of its messages, and every compiled jump names a label step of its own script.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "config/config_loader.h"
#include "config/default_tables.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

const std::string& FilePath() {
    static const std::string path = "/tmp/kiosk-fuzz-config-" + std::to_string(::getpid()) + ".cfg";
    return path;
}

void CheckJumps(const kiosk::DocumentScript& script) {
    for (const kiosk::ScriptStep& step : script.steps) {
        if (step.op != kiosk::opGoto && step.op != kiosk::opRepeat && step.op != kiosk::opTry) continue;
        const size_t target = std::stoul(step.parameter);
        Check(target < script.steps.size() && script.steps[target].op == kiosk::opLabel);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::ofstream(FilePath(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    kiosk::KeyValueTable options, mail, errors, operators;
    kiosk::FillOptionTable(options);
    kiosk::FillMailTable(mail);
    kiosk::FillErrorTable(errors);
    kiosk::FillOperatorTable(operators);
    kiosk::DocumentScriptList scripts;
    const std::string message =
        kiosk::LoadConfiguration(FilePath(), "kiosk", {options, mail, errors, operators, scripts});
    Check(message.empty() || message.starts_with("Файл kiosk.cfg: "));
    // Loading sets values; it never adds or drops a row of the tables.
    kiosk::KeyValueTable defaultOptions, defaultMail, defaultErrors;
    kiosk::FillOptionTable(defaultOptions);
    kiosk::FillMailTable(defaultMail);
    kiosk::FillErrorTable(defaultErrors);
    Check(options.Count() == defaultOptions.Count() && mail.Count() == defaultMail.Count() &&
          errors.Count() == defaultErrors.Count());
    if (message.empty()) {
        Check(!options.Value("start").empty());
        for (const auto& script : scripts) CheckJumps(*script);
    }
    return 0;
}
