#include "config/configuration_check.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <memory>
#include <optional>
#include <utility>

#include "config/loaded_configuration.h"
#include "config/value_lines.h"
#include "os/scratch_folder.h"
#include "os/text_files.h"
#include "text/ascii.h"

namespace kiosk {

namespace {

// A start option is a web address when it begins so (as the browser is told); else a local page.
bool IsWebAddress(const std::string& start) {
    const std::string prefix = AsciiLower(start.substr(0, 4));
    return prefix == "http" || prefix == "www.";
}

bool IsFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// The number after the loader's " в строке "; 0 when its message names no line.
int ErrorLine(const std::string& message) {
    static const std::string kAtLine = " в строке ";
    const size_t at = message.rfind(kAtLine);
    if (at == std::string::npos) return 0;
    const char* digits = message.data() + at + kAtLine.size();
    int line = 0;
    std::from_chars(digits, message.data() + message.size(), line);
    return line;
}

// The first section header after line (1-based); 0 when none follows.
int NextHeader(const std::vector<std::string>& lines, int line) {
    for (size_t i = static_cast<size_t>(line); i < lines.size(); ++i) {
        if (IsSectionHeader(lines[i])) return static_cast<int>(i + 1);
    }
    return 0;
}

// The file's text with every line before header emptied, so that line numbers stay.
std::string TextFrom(const std::vector<std::string>& lines, int header) {
    std::string text = "\xEF\xBB\xBF";
    for (size_t i = 0; i < lines.size(); ++i) {
        if (static_cast<int>(i + 1) >= header) text += lines[i];
        text += '\n';
    }
    return text;
}

class ConfigurationCheck {
public:
    ConfigurationCheck(const std::string& path, const CheckPlaces& places) : path_(path), places_(places) {}

    std::vector<CheckFinding> Run() {
        const std::unique_ptr<LoadedConfiguration> loaded =
            LoadFreshConfiguration(path_, places_.programName);
        const bool readable = ReadConfigurationLines(path_, lines_);
        if (!loaded->error.empty()) Error(loaded->error);
        if (!readable) return std::move(findings_);
        ReportLaterErrors(ErrorLine(loaded->error));
        WarnAbout(*loaded, FindValueLines(lines_, loaded->operators));
        // Errors in the order found, then the warnings by line.
        std::stable_sort(
            findings_.begin(), findings_.end(), [](const CheckFinding& a, const CheckFinding& b) {
                return std::pair(!a.error, a.error ? 0 : a.line) < std::pair(!b.error, b.error ? 0 : b.line);
            });
        return std::move(findings_);
    }

private:
    // After an error at a line, the file is loaded again from the next section header on, until a
    // load passes every header or fails without a line. The start page is taken as given there: only
    // the whole file decides whether it is missing.
    void ReportLaterErrors(int errorLine) {
        std::optional<ScratchFolder> scratch;
        for (int header = NextHeader(lines_, errorLine); errorLine > 0 && header > 0;
             header = NextHeader(lines_, errorLine)) {
            if (!scratch) scratch.emplace();
            const std::string rest = *scratch / "rest.cfg";
            if (!WriteTextFile(rest, false, TextFrom(lines_, header)).empty()) return;
            const std::string error = LoadFreshConfiguration(rest, places_.programName, "-")->error;
            if (error.empty()) return;
            Error(error);
            errorLine = ErrorLine(error);
        }
    }

    void WarnAbout(const LoadedConfiguration& loaded, const ValueLines& at) {
        WarnAboutErrorPages(loaded.errors, at);
        WarnAboutStartPage(loaded.options.Value("start"), LineOf(at, "options/start"));
        WarnAboutHttps(loaded.options.Value("https"), LineOf(at, "options/https"));
        WarnAboutMailTls(loaded.mail.Value("tls"), LineOf(at, "mail/tls"));
        for (size_t i = 0; i < loaded.scripts.size() && i < at.scriptHeaders.size(); ++i) {
            const int line = at.scriptUrls[i] > 0 ? at.scriptUrls[i] : at.scriptHeaders[i];
            WarnAboutPattern(loaded.scripts[i]->pattern, line);
        }
    }

    void WarnAboutErrorPages(const KeyValueTable& errors, const ValueLines& at) {
        for (const char* key : {"document", "search"}) {
            const std::string page = errors.Value(key);
            if (!page.empty() && !IsFile(Local(page))) {
                Warning(LineOf(at, std::string("errors/") + key),
                        std::string("страница ") + key + " не найдена: " + page);
            }
        }
        const std::string net = errors.Value("net");
        if (net.empty()) return;
        const int line = LineOf(at, "errors/net");
        if (!IsFile(Local(net))) {
            Warning(line, "страница net не найдена в текущей папке, она не будет показана: " + net);
        } else if (!IsFile(places_.programDirectory + net)) {
            Warning(line, "страница net показывается из папки программы, там её нет: " +
                              places_.programDirectory + net);
        }
    }

    void WarnAboutStartPage(const std::string& start, int line) {
        if (start.empty() || IsWebAddress(start) || IsFile(places_.programDirectory + start)) return;
        Warning(line, "стартовая страница не найдена: " + places_.programDirectory + start);
    }

    void WarnAboutHttps(const std::string& https, int line) {
        if (https.empty() || https == "all" || https == "tunnel") return;
        Warning(line, "https=" + https +
                          ": допустимо пусто, all или tunnel; действует как пусто (расшифровываются только "
                          "узлы из url скриптов)");
    }

    void WarnAboutMailTls(const std::string& tls, int line) {
        const std::string value = AsciiLower(tls);
        if (value.empty() || value == "required" || value == "off") return;
        Warning(line,
                "tls=" + tls +
                    ": допустимо пусто, required или off; действует как required (почта только по TLS)");
    }

    // A page's address is host, path and query: a pattern with no host, or with a scheme, names none.
    void WarnAboutPattern(const std::string& pattern, int line) {
        if (pattern.empty() || pattern.starts_with('/')) {
            Warning(line, "у url скрипта нет узла, скрипт не применится ни к одной странице: " + pattern);
        } else if (AsciiLower(pattern).starts_with("http://") ||
                   AsciiLower(pattern).starts_with("https://")) {
            Warning(line,
                    "url скрипта пишется без http:// и https://, иначе скрипт не применится: " + pattern);
        }
    }

    // A name relative to the working directory; absolute names stay.
    std::string Local(const std::string& name) const {
        if (places_.workingDirectory.empty() || name.starts_with('/')) return name;
        return (std::filesystem::path(places_.workingDirectory) / name).string();
    }

    static int LineOf(const ValueLines& at, const std::string& key) {
        const auto found = at.values.find(key);
        return found == at.values.end() ? 0 : found->second;
    }

    void Error(const std::string& message) { findings_.push_back({true, ErrorLine(message), message}); }
    void Warning(int line, std::string text) { findings_.push_back({false, line, std::move(text)}); }

    const std::string& path_;
    const CheckPlaces& places_;
    std::vector<std::string> lines_;
    std::vector<CheckFinding> findings_;
};

}  // namespace

std::vector<CheckFinding> CheckConfiguration(const std::string& path, const CheckPlaces& places) {
    return ConfigurationCheck(path, places).Run();
}

std::string FindingText(const CheckFinding& finding) {
    if (finding.error) return "ошибка: " + finding.text;
    if (finding.line == 0) return "предупреждение: " + finding.text;
    return "предупреждение: строка " + std::to_string(finding.line) + ": " + finding.text;
}

}  // namespace kiosk
