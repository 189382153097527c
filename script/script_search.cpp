#include <algorithm>

#include "script/script_run.h"
#include "script/tag_match.h"

namespace kiosk {

namespace {

// The last position a scan may look at: the search end, but never past the text.
std::int64_t ScanEnd(const ScriptRun& run) {
    return std::min(run.searchEnd, run.text.size());
}

// 1-based position of the first byte in [from, last], or 0.
std::int64_t NextByte(const ScriptRun& run, char byte, std::int64_t from, std::int64_t last) {
    return run.text.FindByte(byte, from - 1, last - 1) + 1;
}

// 1-based position of the last byte in [lowest, from], or 0.
std::int64_t PreviousByte(const ScriptRun& run, char byte, std::int64_t from, std::int64_t lowest) {
    return run.text.FindByteBackward(byte, from - 1, std::max<std::int64_t>(lowest, 1) - 1) + 1;
}

void SelectTag(ScriptRun& run, std::int64_t open, std::int64_t close) {
    run.selectionLength = run.tagLength = close - open + 1;
    run.tagStart = run.matchPos = run.searchResult = open;
    run.tagEnd = close;
}

}  // namespace

void FindText(ScriptRun& run, std::string_view needle) {
    std::int64_t found = 0;
    if (!needle.empty() && run.cursor >= 1) {
        // Only a match that starts at or before the search end counts; it may run past it.
        found = run.text.Find(needle, run.cursor - 1, run.searchEnd - 1) + 1;
    }
    run.searchResult = found;
    if (found == 0) return;
    run.selectionLength = static_cast<std::int64_t>(needle.size());
    run.matchPos = found;
    run.cursor = found + run.selectionLength;
}

void ExpandToTag(ScriptRun& run, std::string_view name) {
    std::int64_t open = 0;
    std::int64_t close = 0;
    if (run.matchPos >= 1) {
        // Only the nearest "<" is considered: a matching tag further back does not count.
        const std::int64_t nearest = PreviousByte(run, '<', run.matchPos, 1);
        if (nearest > 0 && OpeningMatch(run.text, name, nearest)) open = nearest;
    }
    if (open > 0) close = NextByte(run, '>', open, ScanEnd(run));
    if (close == 0) {
        run.searchResult = 0;
        return;
    }
    SelectTag(run, open, close);
    run.cursor = open;
}

void FindTag(ScriptRun& run, std::string_view name) {
    run.searchResult = 0;
    run.ClearTag();
    const std::int64_t last = ScanEnd(run);
    for (std::int64_t q = std::max<std::int64_t>(run.cursor, 1); q <= last; ++q) {
        q = NextByte(run, '<', q, last);
        if (q == 0) return;
        if (!OpeningMatch(run.text, name, q)) continue;
        // The first matching "<" ends the scan, also when its ">" is missing.
        const std::int64_t close = NextByte(run, '>', q, last);
        if (close == 0) return;
        SelectTag(run, q, close);
        run.cursor = close + 1;
        return;
    }
}

void FindTail(ScriptRun& run, std::string_view name) {
    run.searchResult = 0;
    if (run.tagLength == 0 || run.tagStart < 1 || run.tagEnd < 1 || run.tagEnd > run.searchEnd) return;
    // An opening tag counts up at its "<"; a ">" preceded by the name counts down. A tag without
    // attributes such as <div> does both and leaves the depth unchanged.
    std::int64_t depth = 1;
    const std::int64_t last = ScanEnd(run);
    for (std::int64_t q = run.tagEnd + 1; q <= last; ++q) {
        const char byte = run.text.at(q - 1);
        if (byte == '<' && OpeningMatch(run.text, name, q)) {
            ++depth;
        } else if (byte == '>' && ClosingMatch(run.text, name, q) && --depth <= 0) {
            const std::int64_t open = PreviousByte(run, '<', q, run.cursor);
            if (open == 0) return;
            run.selectionLength = q - open + 1;
            run.searchResult = run.matchPos = open;
            run.cursor = q + 1;
            return;
        }
    }
}

}  // namespace kiosk
