#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kiosk {

// An ordered table of rows "name=value". The name is the text before the first "=", the value the
// rest. Rows are fixed when the table is filled; the configuration only replaces values.
class KeyValueTable {
public:
    void AddRow(std::string row);

    int Count() const { return static_cast<int>(rows_.size()); }
    const std::string& Row(int index) const { return rows_.at(static_cast<size_t>(index)); }
    std::string Name(int index) const;
    std::string ValueAt(int index) const;
    void SetValueAt(int index, std::string_view value);

    // Position of the first row whose name equals name exactly; -1 when there is none.
    int IndexOfName(std::string_view name) const;

    // The value of the key's row; empty when the key has no row.
    std::string Value(std::string_view key) const;

private:
    std::vector<std::string> rows_;
};

}  // namespace kiosk
