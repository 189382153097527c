#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kiosk {

// The header lines of a request or an answer, as raw lines without their line ends, in arrival order.
class HeaderList {
public:
    // Lines longer than this are folded into continuation lines when a value is set.
    static constexpr size_t kFoldLength = 78;

    void Add(std::string line) { lines_.push_back(std::move(line)); }
    void Clear() { lines_.clear(); }
    size_t Count() const { return lines_.size(); }
    const std::string& operator[](size_t index) const { return lines_.at(index); }
    std::string& operator[](size_t index) { return lines_.at(index); }
    const std::vector<std::string>& Lines() const { return lines_; }

    // The value of the first line whose name (the text before its colon) equals name, letter case
    // ignored: the rest of that line after the colon with its continuation lines (lines that begin
    // with a blank or a tab) joined by one blank, each piece and the whole trimmed. Empty when no line
    // has that name.
    std::string Value(std::string_view name) const;

    // Replaces the first line with that name (and its continuation lines) by "name: value", or
    // appends that line when there is none; an empty value deletes the line instead. A line longer
    // than the fold length is folded at blanks into continuation lines.
    void SetValue(std::string_view name, std::string_view value);

private:
    // Position of the first line with that name, or Count() when there is none.
    size_t Find(std::string_view name) const;
    // Position after the line at index and its continuation lines.
    size_t EndOfField(size_t index) const;

    std::vector<std::string> lines_;
};

}  // namespace kiosk
