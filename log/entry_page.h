#pragma once

#include <string_view>

namespace kiosk {

// The page an event-log entry names, as parts of the entry's text.
struct EntryPage {
    std::string_view page;  // as it stands in the text; empty when the entry names none
    std::string_view host;  // the host (and port) of the page; empty for file: URLs
};

// The page an entry names: its first http:, https: or file: URL (UrlInMessage), or else the
// "host/path" the proxy's failures begin with ("a.example:8080/x.js: Socket Error ..."), without the
// colon that ends it.
EntryPage PageOfEntry(std::string_view message);

}  // namespace kiosk
