#pragma once

#include <glib.h>

#include <chrono>
#include <memory>
#include <string>

#include "os/service_manager.h"
#include "platform/linux/unix_datagram.h"

namespace kiosk {

// systemd's notification protocol (Type=notify): READY=1 when start-up has finished, then
// WATCHDOG=1 from the main loop at half the watchdog time, so that a main thread that stops
// running its loop is noticed; STOPPING=1 when the shutdown begins. Main thread only.
class SystemdNotifier : public ServiceManager {
public:
    // The manager of NOTIFY_SOCKET and WATCHDOG_USEC (when WATCHDOG_PID, if set, names this process);
    // both are removed from the environment, so that the processes this one starts do not speak for
    // it. Without NOTIFY_SOCKET every call does nothing.
    static std::unique_ptr<SystemdNotifier> FromEnvironment();
    // socket: the address ("" for none); watchdog: 0 when the manager does not watch.
    SystemdNotifier(const std::string& socket, std::chrono::microseconds watchdog);
    SystemdNotifier(const SystemdNotifier&) = delete;
    SystemdNotifier& operator=(const SystemdNotifier&) = delete;
    ~SystemdNotifier() override;

    void Ready() override;
    void Stopping() override;

private:
    static gboolean OnWatchdogTimer(gpointer self);
    void StopWatchdog();

    UnixDatagram socket_;
    std::chrono::microseconds watchdog_;
    guint timer_ = 0;
};

}  // namespace kiosk
