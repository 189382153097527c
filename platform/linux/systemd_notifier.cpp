#include "platform/linux/systemd_notifier.h"

#include <unistd.h>

#include <cstdlib>

namespace kiosk {

namespace {

std::string TakeVariable(const char* name) {
    const char* value = std::getenv(name);
    std::string taken = value != nullptr ? value : "";
    unsetenv(name);
    return taken;
}

}  // namespace

std::unique_ptr<SystemdNotifier> SystemdNotifier::FromEnvironment() {
    const std::string socket = TakeVariable("NOTIFY_SOCKET");
    const std::string usec = TakeVariable("WATCHDOG_USEC");
    const std::string pid = TakeVariable("WATCHDOG_PID");
    long long watchdog = std::strtoll(usec.c_str(), nullptr, 10);
    if (watchdog < 0 || (!pid.empty() && std::strtoll(pid.c_str(), nullptr, 10) != getpid())) watchdog = 0;
    return std::make_unique<SystemdNotifier>(socket, std::chrono::microseconds(watchdog));
}

SystemdNotifier::SystemdNotifier(const std::string& socket, std::chrono::microseconds watchdog)
    : socket_(socket), watchdog_(watchdog) {}

SystemdNotifier::~SystemdNotifier() {
    StopWatchdog();
}

void SystemdNotifier::Ready() {
    socket_.Send("READY=1");
    if (watchdog_.count() <= 0 || timer_ != 0) return;
    socket_.Send("WATCHDOG=1");
    const auto interval = std::chrono::duration_cast<std::chrono::milliseconds>(watchdog_ / 2);
    timer_ = g_timeout_add(static_cast<guint>(std::max<long long>(interval.count(), 1)),
                           &SystemdNotifier::OnWatchdogTimer, this);
}

void SystemdNotifier::Stopping() {
    socket_.Send("STOPPING=1");
}

gboolean SystemdNotifier::OnWatchdogTimer(gpointer self) {
    static_cast<SystemdNotifier*>(self)->socket_.Send("WATCHDOG=1");
    return G_SOURCE_CONTINUE;
}

void SystemdNotifier::StopWatchdog() {
    if (timer_ != 0) g_source_remove(timer_);
    timer_ = 0;
}

}  // namespace kiosk
