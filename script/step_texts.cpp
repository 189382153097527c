#include "script/step_texts.h"

#include <cstdio>

#include "text/charset_conversion.h"
#include "text/charset_label.h"
#include "text/unicode.h"

namespace kiosk {

namespace {

std::vector<StepText> ConvertTexts(const DocumentScript& script, std::string_view charset) {
    std::vector<StepText> texts(script.steps.size());
    for (std::size_t i = 0; i < script.steps.size(); ++i) {
        if (!UsesTextParameter(script.steps[i].op)) continue;
        EncodedText encoded = EncodeUtf8(script.steps[i].parameter, charset);
        texts[i] = {std::move(encoded.bytes), encoded.missing};
    }
    return texts;
}

void LogFirstMissing(const DocumentScript& script, const std::vector<StepText>& texts,
                     std::string_view charset, LogWriter& log) {
    for (const StepText& text : texts) {
        if (text.missing == 0) continue;
        log.WriteLog(LogLevel::Error, "Скрипт документа " + script.pattern + ": " +
                                          MissingCharacterMessage(text.missing, charset));
        return;
    }
}

}  // namespace

std::string_view PageCharset(const ScriptEnvironment& environment) {
    const std::string_view name = CanonicalCharset(environment.charset);
    return name.empty() ? "windows-1251" : name;
}

std::string MissingCharacterMessage(char32_t character, std::string_view charset) {
    std::string shown;
    AppendUtf8(shown, character);
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
    return "символа «" + shown + "» (" + code + ") нет в кодировке " + std::string(charset);
}

bool UsesTextParameter(int op) {
    switch (op) {
        case opText:
        case opExpand:
        case opTag:
        case opTail:
        case opReplace:
        case opInsert:
        case opAdd:
            return true;
        default:
            return false;
    }
}

const std::vector<StepText>& StepTextsFor(const DocumentScript& script,
                                          const ScriptEnvironment& environment) {
    const std::string_view charset = PageCharset(environment);
    bool created = false;
    const std::vector<StepText>& texts = script.texts.TextsFor(
        charset, [&] { return ConvertTexts(script, charset); }, created);
    if (created) LogFirstMissing(script, texts, charset, environment.log);
    return texts;
}

}  // namespace kiosk
