#include "app/kiosk_metrics.h"

namespace kiosk {

namespace {

// A method as a label value: quotes, backslashes and line breaks escaped.
std::string LabelValue(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '\\' || c == '"') escaped += '\\';
        escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return escaped;
}

void Family(std::string& out, const char* name, const char* type, const char* help) {
    out.append("# HELP ").append(name).append(" ").append(help).append("\n");
    out.append("# TYPE ").append(name).append(" ").append(type).append("\n");
}

void Sample(std::string& out, const char* name, const char* type, const char* help, long long value) {
    Family(out, name, type, help);
    out.append(name).append(" ").append(std::to_string(value)).append("\n");
}

}  // namespace

void KioskMetrics::CountProxyRequest(const std::string& method) {
    std::lock_guard lock(mutex_);
    ++proxyRequests_[method];
}

std::map<std::string, long long> KioskMetrics::ProxyRequests() const {
    std::lock_guard lock(mutex_);
    return proxyRequests_;
}

std::string PrometheusText(const KioskMetrics& m, const MetricsMoment& moment) {
    std::string out;
    Sample(out, "kiosk_up", "gauge", "1 while the kiosk runs, 0 once it has shut down.", moment.up ? 1 : 0);
    Sample(out, "kiosk_start_time_seconds", "gauge", "When the kiosk started, in seconds since 1970.",
           moment.startTime);
    Sample(out, "kiosk_out_of_order", "gauge", "1 when the terminal is out of order.",
           moment.outOfOrder ? 1 : 0);
    Sample(out, "kiosk_documents_total", "counter", "Documents the browser completed.", m.documents);
    Sample(out, "kiosk_navigation_errors_total", "counter", "Navigations that failed.", m.navigationErrors);
    Sample(out, "kiosk_home_total", "counter", "Presses of Home that started a new visitor.", m.homes);
    Sample(out, "kiosk_idle_returns_total", "counter", "Returns to the start page after the idle time.",
           m.idleReturns);
    Family(out, "kiosk_proxy_requests_total", "counter", "Requests of the browser to the proxy, by method.");
    for (const auto& [method, count] : m.ProxyRequests())
        out.append("kiosk_proxy_requests_total{method=\"")
            .append(LabelValue(method))
            .append("\"} ")
            .append(std::to_string(count))
            .append("\n");
    Sample(out, "kiosk_proxy_errors_total", "counter", "Proxy requests that ended in a failure.",
           m.proxyErrors);
    Sample(out, "kiosk_documents_rewritten_total", "counter", "Answers the document filter changed.",
           moment.documentsRewritten);
    Sample(out, "kiosk_script_failures_total", "counter", "Document script runs that failed.",
           moment.scriptFailures);
    Sample(out, "kiosk_error_entries_total", "counter", "Error entries written to the log.",
           moment.errorEntries);
    Sample(out, "kiosk_mail_sent_total", "counter", "Notifications mailed.", m.mailSent);
    Sample(out, "kiosk_mail_failed_total", "counter", "Notifications whose mailing failed.", m.mailFailed);
    Sample(out, "kiosk_mail_queue_length", "gauge", "Notifications waiting to be mailed.",
           moment.mailQueueLength);
    return out;
}

}  // namespace kiosk
