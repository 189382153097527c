#pragma once

#include <string_view>

namespace kiosk {

enum class LogLevel { Information, Error };

// Where the parts of the program report what happened. The event log is the real one.
class LogWriter {
public:
    virtual ~LogWriter() = default;
    // message is UTF-8; an empty message writes nothing.
    virtual void WriteLog(LogLevel level, std::string_view message) = 0;
};

}  // namespace kiosk
