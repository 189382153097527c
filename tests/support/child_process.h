#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/wait_until.h"

namespace kiosk::testing {

// A program started by a test, with its standard output and error going to a file. The process is
// killed when the object goes, if it still runs.
class ChildProcess {
public:
    // environment: NAME=value entries that are added to this process's environment or replace its
    // entries of the same name. Standard error goes to errorFile, or with standard output when empty.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& workingDirectory, const std::string& outputFile,
                 const std::vector<std::string>& environment = {}, const std::string& errorFile = {});
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    void Signal(int signal) const;
    pid_t Pid() const { return pid_; }
    // The exit status once the process has ended within timeout; -1000 - n when signal n ended it;
    // nothing when it still runs.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

}  // namespace kiosk::testing
