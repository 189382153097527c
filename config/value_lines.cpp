#include "config/value_lines.h"

#include <string_view>

#include "config/default_tables.h"
#include "os/file_access.h"
#include "text/ascii.h"
#include "text/bom_text.h"
#include "text/text_lines.h"

namespace kiosk {

namespace {

std::string_view WithoutComment(std::string_view line) {
    return line.substr(0, line.find('#'));
}

bool IsHeader(std::string_view line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

bool IsKnownSection(const std::string& name) {
    return name == "options" || name == "mail" || name == "errors" || name == "document";
}

// The loader's reading state, without the tables: which section, and whether a key is expected.
class LineScanner {
public:
    explicit LineScanner(const KeyValueTable& operators) : operators_(operators) {}

    void Scan(std::string_view line, int number) {
        if (IsHeader(line)) {
            OpenSection(AsciiLower(line.substr(1, line.size() - 2)), number);
        } else if (keyExpected_ && !line.empty()) {
            ReadKey(AsciiLower(line));
        } else if (!keyExpected_) {
            ReadValue(number);
        }
    }

    ValueLines Result() && { return std::move(found_); }

private:
    void OpenSection(const std::string& name, int number) {
        section_ = IsKnownSection(name) ? name : std::string();
        keyExpected_ = true;
        if (section_ != "document") return;
        found_.scriptHeaders.push_back(number);
        found_.scriptUrls.push_back(0);
    }

    void ReadKey(const std::string& key) {
        key_ = key;
        if (section_ != "document") {
            keyExpected_ = section_.empty();
            return;
        }
        const int op = operators_.IndexOfName(key);
        keyExpected_ = op < 0 || OperatorKind(operators_, op) == '\0';
    }

    void ReadValue(int number) {
        keyExpected_ = true;
        if (section_ != "document") {
            found_.values[section_ + "/" + key_] = number;
        } else if (key_ == "url" && !found_.scriptUrls.empty()) {
            found_.scriptUrls.back() = number;
        }
    }

    const KeyValueTable& operators_;
    std::string section_ = "document";
    std::string key_;
    bool keyExpected_ = true;
    ValueLines found_;
};

}  // namespace

ValueLines FindValueLines(const std::vector<std::string>& lines, const KeyValueTable& operators) {
    LineScanner scanner(operators);
    for (size_t i = 0; i < lines.size(); ++i) scanner.Scan(WithoutComment(lines[i]), static_cast<int>(i + 1));
    return std::move(scanner).Result();
}

bool ReadConfigurationLines(const std::string& path, std::vector<std::string>& lines) {
    std::string bytes;
    if (!ReadFileExcludingWriters(path, bytes)) return false;
    lines = SplitTextLines(DecodeTextWithBom(bytes));
    return true;
}

bool IsSectionHeader(const std::string& line) {
    return IsHeader(WithoutComment(line));
}

}  // namespace kiosk
