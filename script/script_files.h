#pragma once

#include <string>

#include "script/script_machine.h"
#include "script/script_run.h"

namespace kiosk {

// The file operators. A file that is opened but cannot be written or read is reported to the log and
// the run goes on; one that cannot be opened or created throws std::runtime_error.

// state: appends "Result:<line,column> Length:<n> Position:<line,column>" and CR LF.
void AppendState(ScriptRun& run, const std::string& name, const ScriptEnvironment& environment);
// write: the file's content becomes the working text.
void WriteWorkingText(ScriptRun& run, const std::string& name, const ScriptEnvironment& environment);
// read: the working text becomes the file's content; positions are left as they were.
void ReadWorkingText(ScriptRun& run, const std::string& name, const ScriptEnvironment& environment);

}  // namespace kiosk
