#include "script/script_text_cache.h"

namespace kiosk {

ScriptTextCache& ScriptTextCache::operator=(const ScriptTextCache&) {
    std::lock_guard lock(mutex_);
    byCharset_.clear();
    return *this;
}

const std::vector<StepText>& ScriptTextCache::TextsFor(std::string_view charset, const Converter& convert,
                                                       bool& created) {
    std::lock_guard lock(mutex_);
    const auto found = byCharset_.find(charset);
    created = found == byCharset_.end();
    if (!created) return found->second;
    return byCharset_.emplace(std::string(charset), convert()).first->second;
}

}  // namespace kiosk
