#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kiosk {

// The entries of a comma-separated address list, trimmed, empty ones left out. A comma inside a
// quoted display name ("Doe, John" <jd@example.org>) does not split.
std::vector<std::string> SplitAddressList(std::string_view list);

// The mailbox of one entry: what stands between "<" and ">" when it has them (Name <a@b>), otherwise
// the trimmed entry.
std::string MailboxOf(std::string_view entry);

}  // namespace kiosk
