#include "log/entry_bursts.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "log/entry_page.h"
#include "text/russian_plural.h"

namespace kiosk {

namespace {

constexpr double kMillisecondsPerDay = 86'400'000.0;

struct EntryKind {
    std::string kind;
    std::string name;
};

// An entry naming a page is of its host's kind: its text with the page cut out, after the host. Its
// name keeps the text with the page shortened to "scheme://host/…".
EntryKind KindOf(std::string_view text) {
    const EntryPage page = PageOfEntry(text);
    if (page.host.empty()) return {std::string(text), std::string(text)};
    const size_t start = static_cast<size_t>(page.page.data() - text.data());
    const std::string_view before = text.substr(0, start);
    const std::string_view after = text.substr(start + page.page.size());
    const std::string_view scheme =
        page.page.substr(0, static_cast<size_t>(page.host.data() - page.page.data()));
    EntryKind kind;
    kind.kind.append(page.host).append("\n").append(before).append("\n").append(after);
    kind.name.append(before).append(scheme).append(page.host).append("/…").append(after);
    return kind;
}

std::string CountLineText(const std::string& name, long long repeats, long long milliseconds) {
    const long long seconds = (std::max(milliseconds, 0LL) + 999) / 1000;
    return name + " — повторилось ещё " + CountInRussian(repeats, "раз", "раза", "раз") + " за " +
           std::to_string(seconds) + " с";
}

}  // namespace

long long MillisecondsBetween(DateTime from, DateTime to) {
    return std::llround((to - from) * kMillisecondsPerDay);
}

bool EntryBursts::CountRepeat(LogLevel level, std::string_view text, DateTime now) {
    if (level != LogLevel::Error) return false;
    const std::string kind = KindOf(text).kind;
    for (Burst& burst : bursts_) {
        if (burst.kind != kind) continue;
        if (MillisecondsBetween(burst.last, now) >= kQuietMilliseconds) return false;
        ++burst.repeats;
        burst.last = now;
        return true;
    }
    return false;
}

void EntryBursts::Open(LogLevel level, std::string_view text, DateTime now) {
    if (level != LogLevel::Error) return;
    EntryKind kind = KindOf(text);
    // An older burst of the same kind (ended, not yet taken) makes way for the new one.
    for (size_t i = 0; i < bursts_.size(); ++i) {
        if (bursts_[i].kind == kind.kind) End(i--);
    }
    if (bursts_.size() >= kMostBursts) {
        const auto quietest = std::min_element(
            bursts_.begin(), bursts_.end(), [](const Burst& a, const Burst& b) { return a.last < b.last; });
        End(static_cast<size_t>(quietest - bursts_.begin()));
    }
    bursts_.push_back({std::move(kind.kind), std::move(kind.name), now, now, 0});
}

std::vector<std::string> EntryBursts::TakeEnded(DateTime now) {
    for (size_t i = 0; i < bursts_.size(); ++i) {
        if (MillisecondsBetween(bursts_[i].last, now) >= kQuietMilliseconds) End(i--);
    }
    return std::exchange(ended_, {});
}

std::vector<std::string> EntryBursts::TakeAll() {
    while (!bursts_.empty()) End(0);
    return std::exchange(ended_, {});
}

std::optional<long long> EntryBursts::MillisecondsToNextEnd(DateTime now) const {
    std::optional<long long> next;
    for (const Burst& burst : bursts_) {
        if (burst.repeats == 0) continue;
        const long long left = kQuietMilliseconds - MillisecondsBetween(burst.last, now);
        if (!next || left < *next) next = left;
    }
    return next;
}

void EntryBursts::End(size_t index) {
    const Burst& burst = bursts_[index];
    if (burst.repeats > 0) {
        ended_.push_back(
            CountLineText(burst.name, burst.repeats, MillisecondsBetween(burst.first, burst.last)));
    }
    bursts_.erase(bursts_.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace kiosk
