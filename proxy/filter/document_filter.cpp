#include "proxy/filter/document_filter.h"

#include "os/text_files.h"
#include "proxy/filter/content_decoding.h"
#include "proxy/filter/document_charset.h"
#include "proxy/filter/document_types.h"
#include "proxy/http/header_dump.h"
#include "proxy/http/http_text.h"
#include "script/script_machine.h"
#include "script/url_pattern.h"
#include "text/ascii.h"
#include "text/network_text.h"
#include "util/integer_text.h"

namespace kiosk {

namespace {

constexpr int kFirstErrorStatus = 403;
constexpr int kOkStatus = 200;

struct StatusLine {
    std::string prefix;  // up to and including the first blank
    int code = 0;
};

// The code is the whole word after the first blank (the whole line when there is none); anything but
// a number there reads as 0.
StatusLine ParseStatusLine(const std::string& line) {
    StatusLine status;
    std::string_view rest = line;
    const size_t blank = rest.find(' ');
    if (blank != std::string_view::npos) {
        status.prefix = line.substr(0, blank + 1);
        rest.remove_prefix(blank + 1);
    }
    rest = rest.substr(0, rest.find(' '));
    status.code = IntegerOr(rest, 0);
    return status;
}

bool AnyPatternNamesPage(const DocumentScriptList& scripts, const std::string& key) {
    for (const auto& script : scripts) {
        if (PatternNamesPage(script->pattern, key)) return true;
    }
    return false;
}

std::string ScriptKey(const ProxyConnection& context) {
    return DecodeNetworkText(context.LastRequestHost + context.Document);
}

// A text answer with an error status, or a successful one some script's pattern names.
bool IsFilteredAnswer(int status, const std::string& mediaType, const std::string& scriptKey,
                      const DocumentScriptList& scripts) {
    if (status >= kFirstErrorStatus) return IsErrorPageType(mediaType);
    return status == kOkStatus && IsScriptableType(mediaType) && AnyPatternNamesPage(scripts, scriptKey);
}

std::string FirstLine(const ProxyConnection& context) {
    return context.Headers.Count() > 0 ? context.Headers[0] : std::string();
}

// One call of the filter: the answer, its derived values and the body being built.
class DocumentFilter {
public:
    DocumentFilter(ProxyConnection& context, std::string& body, const DocumentFilterSettings& settings)
        : context_(context),
          body_(body),
          settings_(settings),
          statusLine_(FirstLine(context)),
          status_(ParseStatusLine(statusLine_)),
          mediaType_(MediaType(context.Headers)),
          scriptKey_(ScriptKey(context)) {}

    void Run() {
        if (IsEligible()) {
            Filter();
        } else if (settings_.trace != nullptr) {
            Trace("не фильтруется: " + WhyNotFiltered());
        }
        DumpHeaders();
    }

private:
    bool IsEligible() const {
        return !body_.empty() && IsFilteredAnswer(status_.code, mediaType_, scriptKey_, settings_.scripts);
    }

    void Filter() {
        const std::string encodings = context_.Headers.Value("Content-Encoding");
        DecodedContent decoded = DecodeContent(encodings, body_);
        if (decoded.status == DecodingStatus::Unknown || decoded.status == DecodingStatus::TooLarge) {
            if (!ReplacedWhateverItsBody()) return RelayUndecoded(decoded);
        }
        decoded_ = std::move(decoded.output);
        charset_ = DecideCharset(context_.Headers.Value("Content-Type"), decoded_);
        if (settings_.trace != nullptr) settings_.trace->Decoded(encodings, charset_.name, charset_.source);
        const bool completed = status_.code >= kFirstErrorStatus ? ReplaceErrorAnswer() : RunScripts();
        if (completed && replaceBody_) PutBodyBack();
        if (!completed) Trace("не изменён: файл страницы не прочитан");
    }

    // An error answer the "document" page replaces, or a page a script without steps leaves exactly as
    // it came: neither needs the body decoded.
    bool ReplacedWhateverItsBody() const {
        if (status_.code >= kFirstErrorStatus) return !settings_.errors.Value("document").empty();
        for (const auto& script : settings_.scripts) {
            if (script->steps.empty() && PatternRunsOn(script->pattern, scriptKey_)) return true;
        }
        return false;
    }

    // A body the filter cannot decode goes to the browser as it came, with its own Content-Encoding:
    // the browser decodes what it accepts and bounds what it decodes.
    void RelayUndecoded(const DecodedContent& decoded) {
        const std::string page = DecodeNetworkText(context_.LastRequestHost + context_.Document);
        const std::string message =
            decoded.status == DecodingStatus::Unknown
                ? page + ": Content-Encoding " + DecodeNetworkText(decoded.encoding) +
                      " cannot be decoded, relayed unfiltered."
                : page + ": Document larger than " + std::to_string(kMostGunzipOutput >> 20) +
                      " MiB when decoded (" + DecodeNetworkText(decoded.encoding) + "), relayed unfiltered.";
        settings_.log.WriteLog(LogLevel::Error, message);
        Trace("не изменён: " + message);
    }

    // For the trace: why an answer passes unfiltered.
    std::string WhyNotFiltered() const {
        if (body_.empty()) return "нет тела";
        const std::string type = mediaType_.empty() ? "нет Content-Type" : "тип " + mediaType_;
        if (status_.code >= kFirstErrorStatus) return "ответ с ошибкой, " + type;
        if (status_.code != kOkStatus) return "статус " + std::to_string(status_.code);
        if (!IsScriptableType(mediaType_)) return type;
        return "ни один url скрипта не называет " + scriptKey_;
    }

    void Trace(const std::string& outcome) const {
        if (settings_.trace != nullptr) settings_.trace->Outcome(outcome);
    }

    // An error answer becomes the "document" page, sent as "200 OK". Returns false when the page
    // could not be read: the answer then goes out as it came.
    bool ReplaceErrorAnswer() {
        std::string message = DecodeNetworkText(context_.LastRequestHost + context_.Document) + ": " +
                              DecodeNetworkText(statusLine_);
        const std::string page = settings_.errors.Value("document");
        if (!page.empty()) {
            if (!ReadPage(page)) return false;
            context_.Headers[0] = status_.prefix + "200 OK";
            context_.Headers.SetValue("Content-Type", "text/html");
            message += " > " + page;
            Trace("заменён страницей ошибки " + page);
        } else {
            Trace("ответ с ошибкой, страницы document нет: отправлен раскодированным");
        }
        settings_.log.WriteLog(LogLevel::Error, message);
        return true;
    }

    // Runs every script whose pattern contains the key, each over the output of the one before.
    // Returns false when a failed script's "search" page could not be read.
    bool RunScripts() {
        const std::string searchPage = settings_.errors.Value("search");
        const ScriptEnvironment environment{settings_.log, settings_.directory, charset_.name,
                                            settings_.trace};
        for (const auto& script : settings_.scripts) {
            if (!PatternRunsOn(script->pattern, scriptKey_)) continue;
            if (script->steps.empty()) {
                // A script without steps marks a page for the keyboard's text-field poll and leaves the
                // answer exactly as it arrived.
                if (settings_.startFocusPoll) settings_.startFocusPoll();
                replaceBody_ = false;
                Trace("не изменён: у скрипта " + script->pattern + " нет шагов (опрос полей ввода)");
                return true;
            }
            std::string text = decoded_;
            if (settings_.trace != nullptr) settings_.trace->ScriptStarted(*script);
            const ScriptOutcome outcome = RunScript(*script, text, !searchPage.empty(), environment);
            if (settings_.trace != nullptr) settings_.trace->ScriptEnded(*script, outcome);
            if (outcome == ScriptOutcome::Done) {
                if (settings_.trace != nullptr && text != decoded_) changed_ = true;
                decoded_ = std::move(text);
                continue;
            }
            if (settings_.counters != nullptr) ++settings_.counters->scriptFailures;
            changed_ = true;
            if (!ReadPage(searchPage)) return false;
        }
        return true;
    }

    // decoded_ := the page file's content. A file that opens but cannot be read is logged and gives
    // false; one that cannot be opened throws.
    bool ReadPage(const std::string& name) {
        std::string content;
        if (!ReadTextFile(name, content, settings_.directory).empty()) {
            settings_.log.WriteLog(LogLevel::Error, "File" + name + ": not read");
            return false;
        }
        decoded_ = std::move(content);
        return true;
    }

    void PutBodyBack() {
        if (settings_.counters != nullptr) ++settings_.counters->rewritten;
        if (status_.code == kOkStatus)
            Trace(std::string(changed_ ? "переписан" : "скрипты ничего не изменили") +
                  ", отправлен раскодированным: " + std::to_string(decoded_.size()) + " байт");
        body_ = std::move(decoded_);
        context_.Headers.SetValue("Content-Encoding", "identity");
        context_.Headers.SetValue("Content-Length", std::to_string(body_.size()));
    }

    void DumpHeaders() const {
        DumpHead(settings_.options, settings_.log, settings_.directory,
                 "Answer " + context_.LastRequestHost + context_.Document,
                 HeadText(context_.Headers.Lines()));
    }

    ProxyConnection& context_;
    std::string& body_;
    const DocumentFilterSettings& settings_;
    const std::string statusLine_;
    const StatusLine status_;
    const std::string mediaType_;
    const std::string scriptKey_;
    std::string decoded_;
    DocumentCharset charset_;
    bool replaceBody_ = true;
    bool changed_ = false;  // kept for the trace only
};

}  // namespace

bool WantsDocument(const ProxyConnection& context, const DocumentScriptList& scripts) {
    return IsFilteredAnswer(ParseStatusLine(FirstLine(context)).code, MediaType(context.Headers),
                            ScriptKey(context), scripts);
}

void FilterDocument(ProxyConnection& context, std::string& body, const DocumentFilterSettings& settings) {
    DocumentFilter(context, body, settings).Run();
}

}  // namespace kiosk
