#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>

namespace kiosk {

// What the terminal has done since it started, counted from the main thread and the proxy's
// threads alike, for the operators' monitoring.
class KioskMetrics {
public:
    std::atomic<long long> documents{0};
    std::atomic<long long> navigationErrors{0};
    std::atomic<long long> homes{0};
    std::atomic<long long> idleReturns{0};
    std::atomic<long long> proxyErrors{0};
    std::atomic<long long> mailSent{0};
    std::atomic<long long> mailFailed{0};

    // One request of the browser to the proxy, by its method.
    void CountProxyRequest(const std::string& method);
    std::map<std::string, long long> ProxyRequests() const;

private:
    mutable std::mutex mutex_;
    std::map<std::string, long long> proxyRequests_;
};

// The values read at the moment of writing, besides the counters.
struct MetricsMoment {
    bool up = true;
    long long startTime = 0;  // seconds since 1970
    bool outOfOrder = false;
    long long documentsRewritten = 0;
    long long scriptFailures = 0;
    long long errorEntries = 0;
    long long mailQueueLength = 0;
};

// The metrics in Prometheus' text format, every family with its HELP and TYPE.
std::string PrometheusText(const KioskMetrics& metrics, const MetricsMoment& moment);

}  // namespace kiosk
