#pragma once

#include <string>
#include <vector>

namespace kiosk {

// Whether the browser may go to uri, in a page or in a frame: web pages (http:, https:), empty frames
// (about:blank, about:srcdoc), and local files inside one of localFolders (the start and error pages
// beside the program or in its working folder). Everything else (other files, data:, blob:,
// javascript:, view-source:, ftp:, mailto:, tel:, any other scheme) would show a visitor what the
// terminal is not there for, or leave its pages.
bool NavigationAllowed(const std::string& uri, const std::vector<std::string>& localFolders);

// The information entry of a refused navigation; a very long address (a data: URL) is cut.
std::string RefusedNavigationMessage(const std::string& uri);

}  // namespace kiosk
