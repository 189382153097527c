#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace kiosk {

// One step's search or insert text in a page's charset.
struct StepText {
    std::string bytes;
    char32_t missing = 0;  // a character of the text the charset lacks (the step then fails); 0: none
};

// The steps' texts of one script in each charset it has met, converted once and kept for the life of
// the script. Runs on several connection threads share it.
class ScriptTextCache {
public:
    using Converter = std::function<std::vector<StepText>()>;

    ScriptTextCache() = default;
    // A copy's steps may be changed before it runs: it converts afresh.
    ScriptTextCache(const ScriptTextCache&) {}
    ScriptTextCache& operator=(const ScriptTextCache&);

    // The texts for charset; the first call for a charset makes them with convert (under the lock, so
    // it runs once) and sets created, which the others leave false. The texts stay valid while the
    // cache lives.
    const std::vector<StepText>& TextsFor(std::string_view charset, const Converter& convert, bool& created);

private:
    std::mutex mutex_;
    std::map<std::string, std::vector<StepText>, std::less<>> byCharset_;
};

}  // namespace kiosk
