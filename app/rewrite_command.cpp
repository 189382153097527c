#include "app/rewrite_command.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

#include "app/filter_trace_printer.h"
#include "app/page_request.h"
#include "config/loaded_configuration.h"
#include "os/file_access.h"
#include "os/scratch_folder.h"
#include "proxy/filter/document_filter.h"
#include "proxy/http/leg_relay.h"
#include "proxy/http_proxy_server.h"
#include "proxy/request_hook.h"
#include "proxy/tls/https_inspection.h"
#include "util/paths.h"

namespace kiosk {

namespace {

// The filter's and the request hook's log entries, shown among the trace.
class TraceLog : public LogWriter {
public:
    explicit TraceLog(FilterTracePrinter& printer) : printer_(printer) {}
    void WriteLog(LogLevel level, std::string_view message) override {
        if (message.empty()) return;
        printer_.Note((level == LogLevel::Error ? "журнал, ошибка: " : "журнал: ") + std::string(message));
    }

private:
    FilterTracePrinter& printer_;
};

// There is no browser to hand the leaves to: the tool's own client trusts the run's CA itself.
class TrustAtOnce : public LeafTrust {
public:
    bool Trust(const std::shared_ptr<const LeafCertificate>&, const std::function<bool()>&) override {
        return true;
    }
};

// The configuration and everything the filter reaches, for one run of the tool.
class RewriteRun {
public:
    RewriteRun(const LoadedConfiguration& configuration, std::ostream& err)
        : configuration_(configuration), printer_(err, configuration.operators), log_(printer_) {}

    // The document hook of the window, watched: the answer's status, the filter's trace, the result.
    void FilterAnswer(ProxyConnection& context, std::string& body) {
        if (context.TransferSide != ExchangeSide::FromServer) return;
        const std::string status = context.Headers.Count() > 0 ? context.Headers[0] : std::string();
        printer_.Note("ответ источника: " + status);
        const std::string before = body;
        FilterDocument(context, body, Settings());
        if (before.empty() && !answered_) {
            printer_.Note("скрипты не применялись: ответ не подходит по типу, статусу или url");
        } else {
            printer_.Note(before == body ? "документ не изменён"
                                         : "документ изменён: " + std::to_string(before.size()) + " -> " +
                                               std::to_string(body.size()) + " байт");
        }
        answered_ = false;
    }

    bool WantsDocument(const ProxyConnection& context) {
        answered_ = kiosk::WantsDocument(context, configuration_.scripts);
        return answered_;
    }

    void BeforeCommand(ProxyConnection& context) { RequestHook(context, configuration_.options, log_, {}); }

    void Failed(const std::string& failure) {
        const std::lock_guard lock(mutex_);
        failures_.push_back(failure);
    }

    std::vector<std::string> Failures() {
        const std::lock_guard lock(mutex_);
        return failures_;
    }

    FilterTracePrinter& Printer() { return printer_; }

private:
    DocumentFilterSettings Settings() {
        return {configuration_.options,
                configuration_.errors,
                configuration_.scripts,
                log_,
                // There is no window whose text fields could be polled: a script that asks for it is
                // only named.
                [this] { printer_.Note("скрипт без шагов: окно опрашивало бы текстовые поля"); },
                {},
                nullptr,
                &printer_};
    }

    const LoadedConfiguration& configuration_;
    FilterTracePrinter printer_;
    TraceLog log_;
    bool answered_ = false;  // the current answer's body is read whole for the filter
    std::mutex mutex_;
    std::vector<std::string> failures_;
};

// A socket error's text has its description on a line of its own.
std::string OneLine(std::string text) {
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.replace(at, 2, " ");
    return text;
}

ProxyHooks WatchedHooks(RewriteRun& run) {
    ProxyHooks hooks;
    hooks.OnFailure = [&run](ProxyConnection&, const std::string& failure) { run.Failed(failure); };
    hooks.OnRequest = [&run](ProxyConnection& context) { run.BeforeCommand(context); };
    hooks.WantsDocument = [&run](const ProxyConnection& context) { return run.WantsDocument(context); };
    hooks.OnDocument = [&run](ProxyConnection& context, std::string& body) {
        run.FilterAnswer(context, body);
    };
    return hooks;
}

// HTTPS is decrypted for every host, with a CA of this run in scratch, never the terminal's own.
std::shared_ptr<HttpsInspection> InspectEveryHost(const LoadedConfiguration& configuration,
                                                  const ScratchFolder& scratch, LeafTrust& trust) {
    const std::string caFile = configuration.options.Value("cafile");
    const HttpsInspectionSettings settings{
        .httpsOption = "all",
        .caFolder = scratch.Path(),
        .caFile = caFile.empty() ? std::string() : ResolvePath({}, caFile),
    };
    return std::make_shared<HttpsInspection>(settings, configuration.scripts, trust);
}

int FetchPage(const LoadedConfiguration& configuration, const PageAddress& page, std::ostream& out,
              std::ostream& err) {
    RewriteRun run(configuration, err);
    TrustAtOnce trust;
    ScratchFolder scratch;
    HttpProxyServer proxy;
    ProxyServerSettings settings;
    settings.DefaultTransferMode = BodyTransfer::FullDocument;
    settings.DefaultPort = 0;
    if (page.https) settings.Inspection = InspectEveryHost(configuration, scratch, trust);
    proxy.Configure(settings);
    proxy.SetHooks(WatchedHooks(run));
    proxy.SetActive(true);
    std::string head;
    std::string failure;
    try {
        head = RequestThroughProxy(proxy.ListeningPort(), page, scratch / "ca.crt", out);
    } catch (const std::exception& error) {
        failure = error.what();
    }
    proxy.SetActive(false);  // its threads have reported every failure
    const std::vector<std::string> failures = run.Failures();
    for (const std::string& reason : failures) run.Printer().Note("прокси: " + OneLine(reason));
    if (!failure.empty()) {
        // The proxy's own reason says more than the closed connection its client saw.
        err << "не удалось получить " << page.absolute << ": "
            << (failures.empty() ? failure : OneLine(failures.back())) << '\n';
        return 1;
    }
    run.Printer().Note("ответ браузеру: " + head.substr(0, head.find('\r')));
    return 0;
}

// A saved page: its bytes, at most as many as the proxy filters. Throws std::runtime_error.
std::string ReadSavedPage(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (!error && size > kFilteredDocumentLimit)
        throw std::runtime_error("файл " + path + " больше 64 МиБ: такой документ прокси не фильтрует");
    std::string bytes;
    if (ReadWholeFile(path, bytes) != FileReadStatus::Ok)
        throw std::runtime_error("не удалось прочитать " + path);
    return bytes;
}

int RewriteSavedPage(const LoadedConfiguration& configuration, const PageAddress& page,
                     const std::string& bodyFile, std::ostream& out, std::ostream& err) {
    std::string body;
    try {
        body = ReadSavedPage(bodyFile);
    } catch (const std::exception& error) {
        err << error.what() << '\n';
        return 1;
    }
    RewriteRun run(configuration, err);
    ProxyConnection context{TcpSocket()};
    context.Command = "GET";
    context.Document = page.document;
    context.LastRequestHost = page.hostHeader;
    context.LastRequestTarget = page.document;
    context.TransferSide = ExchangeSide::FromServer;
    for (std::string line : {std::string("HTTP/1.1 200 OK"), std::string("Content-Type: text/html"),
                             "Content-Length: " + std::to_string(body.size())})
        context.Headers.Add(std::move(line));
    if (run.WantsDocument(context)) {
        run.FilterAnswer(context, body);
    } else {
        std::string unread;  // the proxy relays such an answer as it arrives: the hook sees no body
        run.FilterAnswer(context, unread);
    }
    out << body;
    return 0;
}

}  // namespace

int RunRewriteCommand(const RewriteRequest& request, std::ostream& out, std::ostream& err) {
    const std::optional<PageAddress> page = ParsePageAddress(request.url);
    if (!page) {
        err << "адрес должен начинаться с http:// или https:// и называть узел: " << request.url << '\n';
        return 2;
    }
    const std::unique_ptr<LoadedConfiguration> configuration =
        LoadFreshConfiguration(request.configurationFile, request.programName);
    if (!configuration->error.empty()) {
        err << "ошибка: " << configuration->error << '\n';
        return 1;
    }
    try {
        if (!request.bodyFile.empty())
            return RewriteSavedPage(*configuration, *page, request.bodyFile, out, err);
        return FetchPage(*configuration, *page, out, err);
    } catch (const std::exception& error) {
        err << "не удалось получить " << page->absolute << ": " << error.what() << '\n';
        return 1;
    }
}

}  // namespace kiosk
