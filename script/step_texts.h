#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "script/document_script.h"
#include "script/script_machine.h"

namespace kiosk {

// The charset a run converts its texts to: the canonical name of environment.charset; a name that is
// not known counts as windows-1251, the charset of pages that declare none.
std::string_view PageCharset(const ScriptEnvironment& environment);

// For the log: "символа «Ω» (U+03A9) нет в кодировке KOI8-R".
std::string MissingCharacterMessage(char32_t character, std::string_view charset);

// Whether a step's parameter is a text that is searched for or inserted.
bool UsesTextParameter(int op);

// The search and insert texts of the script's steps in the run's charset (empty for the other steps),
// converted from the configuration's UTF-8 at the first run in that charset and kept in the script.
// A text with a character the charset lacks is logged once per script and charset: one error entry
// naming the script's url and the first such character.
const std::vector<StepText>& StepTextsFor(const DocumentScript& script, const ScriptEnvironment& environment);

}  // namespace kiosk
