#include "script/script_files.h"

#include "os/text_files.h"
#include "script/step_texts.h"
#include "text/charset_conversion.h"
#include "text/cp1251.h"
#include "text/unicode.h"

namespace kiosk {

namespace {

void LogFailure(const ScriptEnvironment& environment, const std::string& message) {
    if (!message.empty()) environment.log.WriteLog(LogLevel::Error, message);
}

struct MarkedText {
    std::string_view charset;  // empty: no byte-order mark
    std::size_t markLength = 0;
};

MarkedText ByteOrderMark(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return {"UTF-8", 3};
    if (bytes.starts_with("\xFF\xFE")) return {"UTF-16LE", 2};
    if (bytes.starts_with("\xFE\xFF")) return {"UTF-16BE", 2};
    return {};
}

// What read puts into a page of pageCharset. A file with a byte-order mark is text in the mark's
// encoding: in a page of that charset it is taken as it is, mark and all (a page that began with a
// mark keeps it through write and read); in another page it is converted and the mark dropped. A
// file without a mark holds the page's own bytes (what write took from such a page), except in a
// UTF-8 page when it is not UTF-8: that is an operator's windows-1251 file, converted.
EncodedText FileTextInPage(std::string content, std::string_view pageCharset) {
    const MarkedText mark = ByteOrderMark(content);
    if (mark.charset.empty()) {
        if (pageCharset == "UTF-8" && !IsValidUtf8(content)) return {Cp1251ToUtf8(content)};
        return {std::move(content)};
    }
    if (mark.charset == pageCharset) return {std::move(content)};
    const std::string text = DecodeToUtf8(std::string_view(content).substr(mark.markLength), mark.charset);
    return EncodeUtf8(text, pageCharset);
}

}  // namespace

void AppendState(ScriptRun& run, const std::string& name, const ScriptEnvironment& environment) {
    const std::string_view text = run.text.View();
    const std::string line = "Result:" + LineColumn(text, run.searchResult) +
                             " Length:" + std::to_string(run.selectionLength) +
                             " Position:" + LineColumn(text, run.cursor) + "\r\n";
    LogFailure(environment, WriteTextFile(name, true, line, environment.directory));
}

void WriteWorkingText(ScriptRun& run, const std::string& name, const ScriptEnvironment& environment) {
    LogFailure(environment, WriteTextFile(name, false, run.text.View(), environment.directory));
}

void ReadWorkingText(ScriptRun& run, const std::string& name, const ScriptEnvironment& environment) {
    std::string content;
    const std::string message = ReadTextFile(name, content, environment.directory);
    // A read that fails part-way leaves the text as it was rather than a truncated document.
    if (!message.empty()) {
        LogFailure(environment, message);
        return;
    }
    const std::string_view charset = PageCharset(environment);
    EncodedText text = FileTextInPage(std::move(content), charset);
    // So does a file with a character the page's charset cannot show: half a file is no page.
    if (!text.complete()) {
        LogFailure(environment, "Файл: " + name + " - " + MissingCharacterMessage(text.missing, charset));
        return;
    }
    run.text.Assign(std::move(text.bytes));
}

}  // namespace kiosk
