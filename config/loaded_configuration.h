#pragma once

#include <memory>
#include <string>

#include "config/key_value_table.h"
#include "script/document_script.h"

namespace kiosk {

// The four tables with their default rows and the scripts, as one configuration file left them.
struct LoadedConfiguration {
    KeyValueTable options;
    KeyValueTable mail;
    KeyValueTable errors;
    KeyValueTable operators;
    DocumentScriptList scripts;
    std::string error;  // the loader's message; empty when the file loaded
};

// Fresh tables filled with their default rows, with presetStart as the start option's default (empty
// as start-up has it), then the file at path loaded into them as start-up loads it.
std::unique_ptr<LoadedConfiguration> LoadFreshConfiguration(const std::string& path,
                                                            const std::string& programName,
                                                            const std::string& presetStart = {});

}  // namespace kiosk
