#pragma once

#include <string>

#include "config/key_value_table.h"
#include "proxy/http/proxy_connection.h"
#include "util/log_writer.h"

namespace kiosk {

// The proxy's before-command hook: gives the request's outbound connection a fresh transport with
// the upstream proxy of the options (proxy, host, port, login, password), records the request's host
// and target in the context, limits its Accept-Encoding to the encodings the document filter decodes
// (AcceptedEncodings), and appends the request head to the dump file named by the headers
// option (relative to directory; empty: the current directory). Throws when the dump file can be
// neither opened nor created.
void RequestHook(ProxyConnection& context, const KeyValueTable& options, LogWriter& log,
                 const std::string& directory);

}  // namespace kiosk
