#include "config/key_value_table.h"

namespace kiosk {

namespace {

std::string_view NamePart(std::string_view row) {
    return row.substr(0, row.find('='));
}

std::string_view ValuePart(std::string_view row) {
    const size_t equals = row.find('=');
    return equals == std::string_view::npos ? std::string_view() : row.substr(equals + 1);
}

}  // namespace

void KeyValueTable::AddRow(std::string row) {
    rows_.push_back(std::move(row));
}

std::string KeyValueTable::Name(int index) const {
    return std::string(NamePart(Row(index)));
}

std::string KeyValueTable::ValueAt(int index) const {
    return std::string(ValuePart(Row(index)));
}

void KeyValueTable::SetValueAt(int index, std::string_view value) {
    std::string& row = rows_.at(static_cast<size_t>(index));
    row = std::string(NamePart(row)) + "=" + std::string(value);
}

int KeyValueTable::IndexOfName(std::string_view name) const {
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (NamePart(rows_[i]) == name) return static_cast<int>(i);
    }
    return -1;
}

std::string KeyValueTable::Value(std::string_view key) const {
    const int index = IndexOfName(key);
    return index < 0 ? std::string() : ValueAt(index);
}

}  // namespace kiosk
