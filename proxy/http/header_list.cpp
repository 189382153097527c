#include "proxy/http/header_list.h"

#include "text/ascii.h"

namespace kiosk {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsContinuation(const std::string& line) {
    return !line.empty() && IsBlank(line.front());
}

bool HasName(const std::string& line, std::string_view name) {
    const size_t colon = line.find(':');
    return colon != std::string::npos &&
           AsciiEqualsIgnoringCase(std::string_view(line).substr(0, colon), name);
}

// The last blank at or before limit (beyond the "name: " prefix), else the first one after it.
size_t FoldPoint(std::string_view line, size_t prefix, size_t limit) {
    for (size_t i = limit; i > prefix; --i) {
        if (IsBlank(line[i])) return i;
    }
    for (size_t i = limit + 1; i < line.size(); ++i) {
        if (IsBlank(line[i])) return i;
    }
    return std::string_view::npos;
}

// Splits a line longer than the fold length at blanks; each continuation line starts with the blank
// it was split at.
std::vector<std::string> Fold(std::string line, size_t prefix) {
    std::vector<std::string> lines;
    while (line.size() > HeaderList::kFoldLength) {
        const size_t point = FoldPoint(line, prefix, HeaderList::kFoldLength);
        if (point == std::string::npos) break;
        lines.push_back(line.substr(0, point));
        line.erase(0, point);
        prefix = 0;
    }
    lines.push_back(std::move(line));
    return lines;
}

}  // namespace

size_t HeaderList::Find(std::string_view name) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (HasName(lines_[i], name)) return i;
    }
    return lines_.size();
}

size_t HeaderList::EndOfField(size_t index) const {
    size_t end = index + 1;
    while (end < lines_.size() && IsContinuation(lines_[end])) ++end;
    return end;
}

std::string HeaderList::Value(std::string_view name) const {
    const size_t index = Find(name);
    if (index == lines_.size()) return {};
    std::string value(TrimBlanks(std::string_view(lines_[index]).substr(name.size() + 1)));
    for (size_t i = index + 1; i < EndOfField(index); ++i) {
        const std::string_view piece = TrimBlanks(lines_[i]);
        if (piece.empty()) continue;
        if (!value.empty()) value += ' ';
        value += piece;
    }
    return value;
}

void HeaderList::SetValue(std::string_view name, std::string_view value) {
    const size_t index = Find(name);
    auto position = lines_.end();
    if (index < lines_.size())
        position = lines_.erase(lines_.begin() + index, lines_.begin() + EndOfField(index));
    if (value.empty()) return;
    const std::string prefix = std::string(name) + ": ";
    const std::vector<std::string> folded = Fold(prefix + std::string(value), prefix.size());
    lines_.insert(position, folded.begin(), folded.end());
}

}  // namespace kiosk
