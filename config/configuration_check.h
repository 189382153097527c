#pragma once

#include <string>
#include <vector>

namespace kiosk {

// One thing the check found: an error (the file does not load) or a warning (it loads, but a part of
// it cannot work).
struct CheckFinding {
    bool error = false;
    int line = 0;      // the line it concerns; 0 when none
    std::string text;  // UTF-8; an error's text is the loader's message, line number included
};

// Where the program looks for the files a configuration names.
struct CheckPlaces {
    std::string programName;       // messages name programName + ".cfg", as start-up's do
    std::string programDirectory;  // ending with "/": local pages are shown from there
    std::string workingDirectory;  // error pages and the net page are looked for here; empty: current
};

// Loads the file at path into fresh default tables with the program's loader, as start-up does, and
// reports its errors and what loads but cannot work. The loader stops at its first error; the check
// loads the file again from the next section header on, so that each failing section is reported.
// The first error is exactly the message start-up logs.
std::vector<CheckFinding> CheckConfiguration(const std::string& path, const CheckPlaces& places);

// "ошибка: ..." or "предупреждение: строка N: ...".
std::string FindingText(const CheckFinding& finding);

}  // namespace kiosk
