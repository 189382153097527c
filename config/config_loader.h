#pragma once

#include <string>

#include "config/key_value_table.h"
#include "script/document_script.h"

namespace kiosk {

// The process-wide tables the loader fills. They must hold their default rows.
struct ConfigTables {
    KeyValueTable& options;
    KeyValueTable& mail;
    KeyValueTable& errors;
    const KeyValueTable& operators;
    DocumentScriptList& scripts;
};

// Reads the configuration file at path (programName + ".cfg", in the current directory), stores its
// values in the tables, appends its compiled document scripts and resolves their labels. Returns the
// error message, empty on success. Loading stops at the first error; what was stored before it stays.
// Every failure becomes the returned message; only running out of memory for the message itself throws.
std::string LoadConfiguration(const std::string& path, const std::string& programName, ConfigTables tables);

}  // namespace kiosk
