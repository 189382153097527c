#include "shell/navigation_policy.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string_view>

#include "text/ascii.h"

namespace kiosk {

namespace {

namespace fs = std::filesystem;

constexpr size_t kLongestLoggedAddress = 200;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(c | 0x20);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The path of a file: URI, percent escapes decoded; nothing when it names another host or is no path.
std::optional<std::string> FilePath(std::string_view uri) {
    uri.remove_prefix(5);  // "file:"
    uri = uri.substr(0, uri.find_first_of("?#"));
    if (uri.starts_with("//")) {
        uri.remove_prefix(2);
        const size_t slash = uri.find('/');
        if (slash == std::string_view::npos) return std::nullopt;
        const std::string_view host = uri.substr(0, slash);
        if (!host.empty() && AsciiLower(std::string(host)) != "localhost") return std::nullopt;
        uri.remove_prefix(slash);
    }
    if (!uri.starts_with('/')) return std::nullopt;
    std::string path;
    for (size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%') {
            if (i + 2 >= uri.size()) return std::nullopt;
            const int high = HexValue(uri[i + 1]);
            const int low = HexValue(uri[i + 2]);
            if (high < 0 || low < 0) return std::nullopt;
            const char decoded = static_cast<char>(high * 16 + low);
            if (decoded == '\0') return std::nullopt;
            path += decoded;
            i += 2;
        } else {
            path += uri[i];
        }
    }
    return path;
}

// Whether file lies inside folder, both taken as they really are (".." and links resolved as far as
// they exist).
bool IsInside(const fs::path& file, const std::string& folder) {
    if (folder.empty()) return false;
    std::error_code error;
    const fs::path base = fs::weakly_canonical(fs::absolute(folder, error), error);
    if (error) return false;
    const fs::path target = fs::weakly_canonical(file, error);
    if (error) return false;
    const auto [end, rest] = std::mismatch(base.begin(), base.end(), target.begin(), target.end());
    return end == base.end() && rest != target.end();
}

}  // namespace

bool NavigationAllowed(const std::string& uri, const std::vector<std::string>& localFolders) {
    const std::string lower = AsciiLower(uri.substr(0, std::min<size_t>(uri.size(), 16)));
    if (lower.starts_with("http:") || lower.starts_with("https:")) return true;
    if (lower == "about:blank" || lower == "about:srcdoc") return true;
    if (!lower.starts_with("file:")) return false;
    const std::optional<std::string> path = FilePath(uri);
    if (!path) return false;
    for (const std::string& folder : localFolders) {
        if (IsInside(*path, folder)) return true;
    }
    return false;
}

std::string RefusedNavigationMessage(const std::string& uri) {
    if (uri.size() <= kLongestLoggedAddress) return "Переход запрещён: " + uri;
    return "Переход запрещён: " + uri.substr(0, kLongestLoggedAddress) + "...";
}

}  // namespace kiosk
