#include "config/config_loader.h"

#include <cstddef>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "config/default_tables.h"
#include "os/file_access.h"
#include "text/ascii.h"
#include "text/bom_text.h"
#include "text/text_lines.h"

namespace kiosk {

namespace {

enum class Section { Options, Mail, Errors, Document };

std::string Message(const std::string& programName, std::string_view rest) {
    return "Файл " + programName + ".cfg" + std::string(rest);
}

std::string MessageAtLine(const std::string& programName, std::string_view rest, size_t lineNumber) {
    return Message(programName, rest) + std::to_string(lineNumber);
}

std::string_view WithoutComment(std::string_view line) {
    return line.substr(0, line.find('#'));
}

bool IsHeader(std::string_view line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

// Reads the file as decoded text. The raw bytes are released as soon as they are decoded.
bool ReadConfigText(const std::string& path, std::string& text) {
    std::string bytes;
    if (!ReadFileExcludingWriters(path, bytes)) return false;
    text = DecodeTextWithBom(bytes);
    return true;
}

// The text is split into lines piece by piece, so that a large file of short lines is never held as
// millions of line strings at once. A piece ends after a whole line end (a CR LF is not cut apart).
constexpr size_t kPieceSize = 1 << 20;

size_t PieceEnd(std::string_view text, size_t from) {
    if (text.size() - from <= kPieceSize) return text.size();
    size_t end = text.find_first_of("\r\n", from + kPieceSize);
    if (end == std::string_view::npos) return text.size();
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    return end + 1;
}

// Compiles the text of the file into the tables and the script list, then checks the result.
// Every method returns an error message, empty when it went well.
class ConfigCompiler {
public:
    ConfigCompiler(const std::string& programName, ConfigTables tables)
        : programName_(programName), tables_(tables) {}

    std::string Compile(std::string_view text) {
        text = text.substr(0, text.find('\0'));  // a NUL ends the text
        size_t lineNumber = 0;
        for (size_t from = 0; from < text.size();) {
            const size_t end = PieceEnd(text, from);
            for (const std::string& line : SplitTextLines(text.substr(from, end - from))) {
                std::string error = CompileLine(WithoutComment(line), ++lineNumber);
                if (!error.empty()) return error;
            }
            from = end;
        }
        return {};
    }

    std::string Check() {
        if (tables_.options.Value("start").empty())
            return Message(programName_, ": Не указана стартовая страница");
        for (const std::unique_ptr<DocumentScript>& script : tables_.scripts) {
            std::string error = ResolveLabels(*script);
            if (!error.empty()) return error;
        }
        return {};
    }

private:
    std::string CompileLine(std::string_view line, size_t lineNumber) {
        if (IsHeader(line)) return OpenSection(line, lineNumber);
        if (keyExpected_ && !line.empty()) return ReadKey(line, lineNumber);
        if (!keyExpected_) return ReadValue(line, lineNumber);
        return {};
    }

    std::string OpenSection(std::string_view line, size_t lineNumber) {
        const std::string name = AsciiLower(line.substr(1, line.size() - 2));
        if (name == "options") {
            section_ = Section::Options;
        } else if (name == "mail") {
            section_ = Section::Mail;
        } else if (name == "errors") {
            section_ = Section::Errors;
        } else if (name == "document") {
            section_ = Section::Document;
            tables_.scripts.push_back(std::make_unique<DocumentScript>());
            script_ = tables_.scripts.back().get();
        } else {
            return MessageAtLine(programName_, ": Неизвестная секция в строке ", lineNumber);
        }
        // A key still waiting for its value is dropped.
        keyExpected_ = true;
        return {};
    }

    std::string ReadKey(std::string_view line, size_t lineNumber) {
        row_ = CurrentTable().IndexOfName(AsciiLower(line));
        if (row_ < 0) return MessageAtLine(programName_, ": Неизвестный оператор в строке ", lineNumber);
        if (section_ != Section::Document) {
            keyExpected_ = false;
            return {};
        }
        if (row_ != opUrl) {
            // Operators before the first header have no script to belong to.
            if (script_ == nullptr) return ReadError();
            if (script_->pattern.empty() && script_->steps.empty()) return UrlRequired(lineNumber);
        }
        if (OperatorKind(tables_.operators, row_) == '\0') {
            script_->steps.push_back(ScriptStep{row_, {}});
        } else {
            keyExpected_ = false;
        }
        return {};
    }

    std::string ReadValue(std::string_view line, size_t lineNumber) {
        keyExpected_ = true;
        if (section_ != Section::Document) {
            ValueTable().SetValueAt(row_, line);
            return {};
        }
        if (script_ == nullptr) return ReadError();
        if (row_ == opUrl) {
            script_->pattern = line;
            return {};
        }
        const size_t operatorLine = lineNumber - 1;
        if (script_->pattern.empty()) return UrlRequired(operatorLine);
        const char kind = OperatorKind(tables_.operators, row_);
        if ((kind == 's' || kind == 'l') && line.empty()) {
            return MessageAtLine(programName_, ": Нет обязательного параметра для оператора в строке ",
                                 operatorLine);
        }
        script_->steps.push_back(ScriptStep{row_, std::string(line)});
        return {};
    }

    // Replaces the label name of every jump by the number of the first label step of that name.
    std::string ResolveLabels(DocumentScript& script) const {
        std::unordered_map<std::string, int> firstLabel;
        for (size_t i = 0; i < script.steps.size(); ++i) {
            const ScriptStep& step = script.steps[i];
            if (step.op == opLabel) firstLabel.emplace(step.parameter, static_cast<int>(i));
        }
        for (ScriptStep& step : script.steps) {
            if (OperatorKind(tables_.operators, step.op) != 'l') continue;
            const auto target = firstLabel.find(step.parameter);
            if (target == firstLabel.end()) {
                return Message(programName_, ": Для документа " + script.pattern + " не найдена метка \"" +
                                                 step.parameter + "\"");
            }
            step.parameter = std::to_string(target->second);
        }
        return {};
    }

    const KeyValueTable& CurrentTable() const {
        if (section_ == Section::Document) return tables_.operators;
        return ValueTable();
    }

    // The table of the options, mail or errors section.
    KeyValueTable& ValueTable() const {
        if (section_ == Section::Mail) return tables_.mail;
        if (section_ == Section::Errors) return tables_.errors;
        return tables_.options;
    }

    std::string UrlRequired(size_t lineNumber) const {
        return MessageAtLine(programName_, ": Должен быть оператор url в строке ", lineNumber);
    }

    std::string ReadError() const { return Message(programName_, ": Ошибка чтения"); }

    const std::string& programName_;
    ConfigTables tables_;
    Section section_ = Section::Document;
    bool keyExpected_ = true;
    int row_ = -1;
    DocumentScript* script_ = nullptr;
};

std::string LoadAndCheck(const std::string& path, const std::string& programName, ConfigTables tables,
                         const std::string& readError) {
    std::string text;
    if (!ReadConfigText(path, text)) return readError;
    ConfigCompiler compiler(programName, tables);
    std::string error = compiler.Compile(text);
    if (!error.empty()) return error;
    return compiler.Check();
}

}  // namespace

std::string LoadConfiguration(const std::string& path, const std::string& programName, ConfigTables tables) {
    std::string readError;
    try {
        // Made first, so that a later failure (such as running out of memory on a huge file) can still
        // be reported without allocating.
        readError = Message(programName, ": Ошибка чтения");
        return LoadAndCheck(path, programName, tables, readError);
    } catch (...) {
        // Without even the message (no memory for it) an empty text would pass for success: the
        // failure goes on to the caller instead.
        if (readError.empty()) throw;
        return readError;
    }
}

}  // namespace kiosk
