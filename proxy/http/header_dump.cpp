#include "proxy/http/header_dump.h"

#include "os/text_files.h"
#include "text/cp1251.h"
#include "text/network_text.h"

namespace kiosk {

void DumpHead(const KeyValueTable& options, LogWriter& log, const std::string& directory,
              std::string_view title, std::string_view head) {
    const std::string file = options.Value("headers");
    if (file.empty()) return;
    std::string block = "[";
    block.append(title).append("]\r\n").append(head);
    log.WriteLog(LogLevel::Error,
                 WriteTextFile(file, true, Utf8ToCp1251(DecodeNetworkText(block)), directory));
}

}  // namespace kiosk
