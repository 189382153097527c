#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kiosk {

// What the command line asks for: the kiosk itself (no arguments) or one of the operator's tools.
struct CommandLine {
    enum class Kind { Kiosk, Help, Check, Rewrite, BadUsage };
    Kind kind = Kind::Kiosk;
    std::string configurationFile;  // --check FILE, --rewrite ... --config FILE; empty: the program's own
    std::string url;                // --rewrite URL
    std::string bodyFile;           // --rewrite ... --body FILE
    std::string problem;            // what is wrong with a bad command line
};

// arguments: the program's arguments, without its own name.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// Runs the tool the command line names, with the program's file at executablePath (it gives the
// configuration's name and the folder local pages are shown from). Returns the tool's exit status;
// nothing when the kiosk itself is to run. A bad command line prints the usage to err and gives 2.
std::optional<int> RunOperatorTool(const CommandLine& command, const std::string& executablePath,
                                   std::ostream& out, std::ostream& err);

}  // namespace kiosk
