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
// read: the working text becomes the file's content in the page's charset (environment.charset);
// positions are left as they were. A file with a byte-order mark is text in the mark's encoding,
// converted when the page has another charset (the mark dropped); a file without one holds the page's
// own bytes, except in a UTF-8 page when it is not UTF-8: then it is windows-1251, converted. A file
// with a character the page's charset lacks is logged ("Файл: " + name + " - символа ...") and the
// text stays as it was.
void ReadWorkingText(ScriptRun& run, const std::string& name, const ScriptEnvironment& environment);

}  // namespace kiosk
